// Bytes as lower-case hex and back.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gamedata::detail {

std::string toHex(std::span<const std::uint8_t> bytes);

// None when text is not an even number of hex digits (either case).
std::optional<std::vector<std::uint8_t>> fromHex(std::string_view text);

}  // namespace gamedata::detail
