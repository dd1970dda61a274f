// An item record of "wccitem2.dat": 1032 bytes; ItemFields describes the first 34.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/record_description.h"

namespace records {

// Bytes 34 to 1031 live only in the packed row.
struct ItemRecord {
    std::int32_t Number;
    char Name[29];
    std::uint8_t Hidden33;
};

// The tab shows the number and the name only.
inline constexpr std::array kItemDescription{
    description::number(RECORD_FIELD(ItemRecord, Number), 4,
                        description::numberBox("txtItemNumber", 1, Reading::ShowOnly)),
    description::text(RECORD_FIELD(ItemRecord, Name), 29,
                      [] {
                          Box b = description::nameBox("txtItemName", Reading::ShowOnly);
                          b.wide = false;
                          return b;
                      }()),
    description::hidden(RECORD_FIELD(ItemRecord, Hidden33), 1),
};

static_assert(tilesStructure<elementCount(kItemDescription)>(kItemDescription, sizeof(ItemRecord),
                                                             alignof(ItemRecord)));
static_assert(boxesDistinct(kItemDescription));

}  // namespace records
