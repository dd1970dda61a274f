// Putting the demo world's texts into fixed-width text fields.
#pragma once

#include <cstddef>
#include <string_view>

namespace gamedata::detail {

// Stores a UTF-8 text as code page 437 bytes in the usual stored form: the text,
// one zero byte, blanks up to the width. A text as long as the field is stored
// without a zero; a text that holds a zero byte itself is stored as it stands
// (whatever follows its zero stays in the field), then blanks. Characters
// without a byte in code page 437 become '?'; a longer text is cut.
void putText(char* field, std::size_t width, std::string_view utf8);

template <std::size_t N>
void putText(char (&field)[N], std::string_view utf8) {
    putText(field, N, utf8);
}

// The spell's short name: the text cut or filled with blanks, no zero byte.
template <std::size_t N>
void putBlankFilled(char (&field)[N], std::string_view text) {
    for (std::size_t i = 0; i < N; ++i) field[i] = i < text.size() ? text[i] : ' ';
}

}  // namespace gamedata::detail
