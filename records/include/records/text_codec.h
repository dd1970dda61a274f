// Maps the bytes of text fields to characters and back, one to one and losslessly:
// bytes below 0x80 are themselves, bytes 0x80 to 0xFF are the characters of code
// page 437, the character set of the game's text screens.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace records {

// Every byte becomes one character; zero bytes included.
std::u16string decodeText(std::span<const char> bytes);

// The characters up to the first zero character: what a text box shows of a field.
std::u16string decodeShownText(std::span<const char> bytes);

// Every character becomes one byte; none when a character has no byte.
std::optional<std::string> encodeText(std::u16string_view text);

// The byte of the lower-case letter of a byte's character, when the code page has
// it (0x8E 'Ä' gives 0x84 'ä', 'Q' gives 'q'); any other byte is itself. Two texts
// compare without regard to letter case through it.
unsigned char foldedCase(unsigned char byte);

// Index of the first character that has no byte, if any.
std::optional<std::size_t> firstUnencodable(std::u16string_view text);

}  // namespace records
