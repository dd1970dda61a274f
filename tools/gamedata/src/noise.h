// Deterministic non-zero filler for the bytes the editor never shows: hidden
// members and the record bytes after the fields. Any code that fails to carry
// them back unchanged then shows up as a changed byte.
#pragma once

#include <cstdint>
#include <span>

#include "records/record_description.h"

namespace gamedata::detail {

// A small fixed-seed generator (splitmix64): the same numbers on every run and host.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    std::uint8_t nonZeroByte() { return static_cast<std::uint8_t>(next() % 255 + 1); }

private:
    std::uint64_t state_;
};

// Fills every Hidden member of the structure (structSize bytes) with non-zero bytes.
void fillHiddenMembers(std::span<const records::Field> fields, void* structure, Noise& noise);

// Fills bytes with non-zero bytes.
void fillNonZero(std::span<std::uint8_t> bytes, Noise& noise);

}  // namespace gamedata::detail
