// An item record of "wccitem2.dat": 1032 bytes; ItemFields describes the first 34.
#pragma once

#include <cstddef>
#include <cstdint>

namespace records {

// Bytes 34 to 1031 live only in the packed row.
struct ItemRecord {
    std::int32_t Number;
    char Name[29];
    std::uint8_t Hidden33;
};

// Each member at its offset in the structure, natural alignment and all; the layout
// lists and the row conversion rely on exactly this order and these widths.
static_assert(sizeof(ItemRecord) == 36);
static_assert(offsetof(ItemRecord, Number) == 0);
static_assert(offsetof(ItemRecord, Name) == 4);
static_assert(offsetof(ItemRecord, Hidden33) == 33);

}  // namespace records
