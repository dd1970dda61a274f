// A message record of "wccmsg2.dat": 256 bytes; MessageFields describes the first 242.
#pragma once

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

}  // namespace records
