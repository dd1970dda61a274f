#include "records/row_conversion.h"

#include <cstring>

namespace records {
namespace {

bool validEntry(const LayoutEntry& e) {
    switch (e.Type) {
        case TextField:
            return e.Length >= 0;
        case IntegerField:
            return e.Length == 2 || e.Length == 4;
        case ByteField:
            return e.Length == 1;
        default:
            return false;
    }
}

// Integers sit at their natural alignment in the structure; text and bytes need none.
std::size_t alignment(const LayoutEntry& e) { return e.Type == IntegerField ? static_cast<std::size_t>(e.Length) : 1; }

std::size_t alignUp(std::size_t offset, std::size_t to) { return (offset + to - 1) / to * to; }

// Checks the list against both sides before a single byte moves.
ConversionResult check(std::size_t rowSize, std::span<const LayoutEntry> list, std::size_t structSize) {
    std::size_t rowEnd = 0;
    std::size_t structEnd = 0;
    for (const LayoutEntry& e : list) {
        if (!validEntry(e)) return ConversionResult::BadEntry;
        if (e.Length == 0) continue;
        rowEnd += static_cast<std::size_t>(e.Length);
        structEnd = alignUp(structEnd, alignment(e)) + static_cast<std::size_t>(e.Length);
    }
    if (rowEnd > rowSize) return ConversionResult::RowTooShort;
    if (structEnd > structSize) return ConversionResult::StructTooSmall;
    return ConversionResult::Ok;
}

// Moves one field; integers go through their little-endian form so the row is the
// same on every host.
void rowToMember(const std::uint8_t* from, std::uint8_t* to, const LayoutEntry& e) {
    if (e.Type != IntegerField) {
        std::memcpy(to, from, static_cast<std::size_t>(e.Length));
        return;
    }
    if (e.Length == 2) {
        const auto v = static_cast<std::int16_t>(static_cast<std::uint16_t>(from[0] | (from[1] << 8)));
        std::memcpy(to, &v, sizeof v);
    } else {
        const auto u = static_cast<std::uint32_t>(from[0]) | static_cast<std::uint32_t>(from[1]) << 8 |
                       static_cast<std::uint32_t>(from[2]) << 16 | static_cast<std::uint32_t>(from[3]) << 24;
        const auto v = static_cast<std::int32_t>(u);
        std::memcpy(to, &v, sizeof v);
    }
}

void memberToRow(const std::uint8_t* from, std::uint8_t* to, const LayoutEntry& e) {
    if (e.Type != IntegerField) {
        std::memcpy(to, from, static_cast<std::size_t>(e.Length));
        return;
    }
    std::uint32_t u = 0;
    if (e.Length == 2) {
        std::int16_t v;
        std::memcpy(&v, from, sizeof v);
        u = static_cast<std::uint16_t>(v);
    } else {
        std::int32_t v;
        std::memcpy(&v, from, sizeof v);
        u = static_cast<std::uint32_t>(v);
    }
    for (std::int32_t i = 0; i < e.Length; ++i) to[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

template <class Move>
void walk(std::span<const LayoutEntry> list, Move move) {
    std::size_t rowOffset = 0;
    std::size_t structOffset = 0;
    for (const LayoutEntry& e : list) {
        if (e.Length == 0) continue;
        structOffset = alignUp(structOffset, alignment(e));
        move(rowOffset, structOffset, e);
        rowOffset += static_cast<std::size_t>(e.Length);
        structOffset += static_cast<std::size_t>(e.Length);
    }
}

}  // namespace

std::size_t structOffset(std::span<const LayoutEntry> list, std::size_t entryIndex) {
    std::size_t structOffset = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const LayoutEntry& e = list[i];
        if (e.Length != 0) structOffset = alignUp(structOffset, alignment(e));
        if (i == entryIndex) return structOffset;
        structOffset += static_cast<std::size_t>(e.Length);
    }
    return structOffset;
}

std::optional<std::size_t> rowOffset(std::span<const LayoutEntry> list, std::size_t structOffset) {
    std::optional<std::size_t> found;
    walk(list, [&](std::size_t inRow, std::size_t inStruct, const LayoutEntry&) {
        if (inStruct == structOffset && !found) found = inRow;
    });
    return found;
}

ConversionResult RowToStruct(std::span<const std::uint8_t> row, std::span<const LayoutEntry> list, void* structure,
                             std::size_t structSize) {
    if (const auto result = check(row.size(), list, structSize); result != ConversionResult::Ok) return result;
    auto* target = static_cast<std::uint8_t*>(structure);
    walk(list, [&](std::size_t rowOffset, std::size_t structOffset, const LayoutEntry& e) {
        rowToMember(row.data() + rowOffset, target + structOffset, e);
    });
    return ConversionResult::Ok;
}

ConversionResult StructToRow(std::span<std::uint8_t> row, std::span<const LayoutEntry> list, const void* structure,
                             std::size_t structSize) {
    if (const auto result = check(row.size(), list, structSize); result != ConversionResult::Ok) return result;
    const auto* source = static_cast<const std::uint8_t*>(structure);
    walk(list, [&](std::size_t rowOffset, std::size_t structOffset, const LayoutEntry& e) {
        memberToRow(source + structOffset, row.data() + rowOffset, e);
    });
    return ConversionResult::Ok;
}

}  // namespace records
