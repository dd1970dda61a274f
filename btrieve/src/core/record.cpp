#include "core/record.h"

#include <wbtrv32/bytes.h>

namespace wbtrv {

void writePosition(std::uint8_t* out, std::int64_t id) {
    const auto v = static_cast<std::uint32_t>(id);
    writeLittleEndian(out, 2, v >> 16);
    writeLittleEndian(out + 2, 2, v & 0xFFFF);
}

std::int64_t readPosition(const std::uint8_t* in) {
    return static_cast<std::int64_t>(readLittleEndian(in, 2) << 16 | readLittleEndian(in + 2, 2));
}

}  // namespace wbtrv
