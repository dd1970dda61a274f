#include "noise.h"

namespace gamedata::detail {

std::uint64_t Noise::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

void fillHiddenMembers(std::span<const records::Field> fields, void* structure, Noise& noise) {
    auto* bytes = static_cast<std::uint8_t*>(structure);
    for (const records::Field& f : fields) {
        if (f.kind != records::FieldKind::Hidden) continue;
        for (std::size_t i = 0; i < f.count; ++i) fillNonZero(std::span(bytes + f.elementOffset(i), f.width), noise);
    }
}

void fillNonZero(std::span<std::uint8_t> bytes, Noise& noise) {
    for (std::uint8_t& b : bytes) b = noise.nonZeroByte();
}

}  // namespace gamedata::detail
