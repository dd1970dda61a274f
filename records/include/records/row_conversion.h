// Conversion between a packed row and its record structure, driven by a layout list.
//
// The structure holds one member per entry, in list order, each at its natural
// alignment (texts 1, 16-bit integers 2, 32-bit integers 4, bytes 1), as a C++
// compiler lays out the record structs of this library. The row holds the same
// fields back to back. Bytes of the row after the packed length are never touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

#include "records/layout.h"

namespace records {

enum class ConversionResult {
    Ok,
    RowTooShort,     // the list describes more bytes than the row holds
    StructTooSmall,  // the list's members do not fit the structure
    BadEntry,        // an entry of unknown type or of a length its type does not allow
};

// Byte offset of each entry's member inside the structure; the list must be valid.
std::size_t structOffset(std::span<const LayoutEntry> list, std::size_t entryIndex);

// Byte offset in the row of the member at structOffset; none when no entry's member
// begins there. The list must be valid.
std::optional<std::size_t> rowOffset(std::span<const LayoutEntry> list, std::size_t structOffset);

// Unpacks the row into the structure. Checks the whole list first: on any result
// but Ok nothing has been written.
ConversionResult RowToStruct(std::span<const std::uint8_t> row, std::span<const LayoutEntry> list, void* structure,
                             std::size_t structSize);

// Packs the structure into the row, with the same checks.
ConversionResult StructToRow(std::span<std::uint8_t> row, std::span<const LayoutEntry> list, const void* structure,
                             std::size_t structSize);

template <class Record>
concept RecordStructure = std::is_standard_layout_v<Record> && std::is_trivially_copyable_v<Record>;

template <RecordStructure Record>
ConversionResult RowToStruct(std::span<const std::uint8_t> row, std::span<const LayoutEntry> list, Record& record) {
    return RowToStruct(row, list, &record, sizeof record);
}

template <RecordStructure Record>
ConversionResult StructToRow(std::span<std::uint8_t> row, std::span<const LayoutEntry> list, const Record& record) {
    return StructToRow(row, list, &record, sizeof record);
}

}  // namespace records
