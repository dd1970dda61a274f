// Field layout lists: the ordered (type, length) entries that describe a packed row.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace records {

// Type codes of a layout entry.
enum FieldType : std::int32_t {
    TextField = 0,     // fixed text, one byte per character
    IntegerField = 1,  // little-endian two's complement, 2 or 4 bytes
    ByteField = 19,    // unsigned 8-bit
};

// One field of a packed row. An entry never set (type 0, length 0) stands for no field.
struct LayoutEntry {
    std::int32_t Type = 0;
    std::int32_t Length = 0;
};

template <std::size_t Capacity>
using FieldList = std::array<LayoutEntry, Capacity>;

// Fills one entry.
constexpr void SetField(LayoutEntry& entry, std::int32_t type, std::int32_t length) {
    entry.Type = type;
    entry.Length = length;
}

// Sum of the lengths of the list's entries: the bytes of the row the list describes.
std::size_t packedLength(std::span<const LayoutEntry> list);

}  // namespace records
