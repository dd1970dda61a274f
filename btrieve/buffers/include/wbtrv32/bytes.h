// Little-endian fields and hex text: the byte helpers the record manager, its
// tools, tests and benchmarks share, so no one reads a field by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wbtrv {

// An unsigned little-endian value of 1..8 bytes.
std::uint64_t readLittleEndian(const std::uint8_t* bytes, std::size_t length);
// A signed (two's complement) little-endian value of 1..8 bytes, sign-extended.
std::int64_t readSignedLittleEndian(const std::uint8_t* bytes, std::size_t length);
// The low `length` bytes of value, least significant first.
void writeLittleEndian(std::uint8_t* bytes, std::size_t length, std::uint64_t value);

// Lower-case hex digits, two per byte.
std::string hex(std::span<const std::uint8_t> bytes);
// The bytes of hex text (either case); none when it is not an even number of hex digits.
std::optional<std::vector<std::uint8_t>> fromHex(std::string_view text);

}  // namespace wbtrv
