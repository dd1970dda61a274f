// The game's texts (code page 437 bytes) as UTF-8 for the terminal and JSON, and back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gamedata {

std::string utf8Text(std::string_view cp437);
// None when a character has no byte in code page 437, or the text is not UTF-8.
std::optional<std::string> cp437Text(std::string_view utf8);

}  // namespace gamedata
