// A message record of "wccmsg2.dat": 256 bytes; MessageFields describes the first 242.
#pragma once

#include <cstddef>
#include <cstdint>

namespace records {

// Members follow the row in order; HiddenNN fields are carried, never shown (NN = row offset).
// Bytes 242 to 255 live only in the packed row.
struct MessageRecord {
    std::int16_t Number;
    std::int16_t Hidden2;
    char Line1[74];
    std::int16_t Hidden78[4];
    char Line2[74];
    std::int16_t Hidden160[4];
    char Line3[74];
};

// Each member at its offset in the structure, natural alignment and all; the layout
// lists and the row conversion rely on exactly this order and these widths.
static_assert(sizeof(MessageRecord) == 242);
static_assert(offsetof(MessageRecord, Number) == 0);
static_assert(offsetof(MessageRecord, Hidden2) == 2);
static_assert(offsetof(MessageRecord, Line1) == 4);
static_assert(offsetof(MessageRecord, Hidden78) == 78);
static_assert(offsetof(MessageRecord, Line2) == 86);
static_assert(offsetof(MessageRecord, Hidden160) == 160);
static_assert(offsetof(MessageRecord, Line3) == 168);

}  // namespace records
