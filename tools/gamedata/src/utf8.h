// UTF-8 <-> UTF-16 for the characters of text fields (all in the Basic
// Multilingual Plane): JSON strings are UTF-8, the text codec speaks UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gamedata::detail {

std::string toUtf8(std::u16string_view text);

// None for malformed UTF-8 or characters outside the Basic Multilingual Plane.
std::optional<std::u16string> fromUtf8(std::string_view text);

// Code page 437 bytes of a UTF-8 text; none if a character has no byte there.
std::optional<std::string> cp437FromUtf8(std::string_view text);

// The characters of code page 437 bytes, as UTF-8.
std::string utf8FromCp437(std::string_view bytes);

}  // namespace gamedata::detail
