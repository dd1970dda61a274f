// An item record of "wccitem2.dat": 1032 bytes; ItemFields describes the first 34.
#pragma once

#include <cstdint>

namespace records {

// Bytes 34 to 1031 live only in the packed row.
struct ItemRecord {
    std::int32_t Number;
    char Name[29];
    std::uint8_t Hidden33;
};

}  // namespace records
