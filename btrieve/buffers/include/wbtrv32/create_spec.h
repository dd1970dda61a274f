// The published Create buffer (also what Stat returns) as a structure: one
// builder and one reader, shared by the record manager, its tools, tests and
// benchmarks.
#pragma once

#include <wbtrv32/btrieve.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wbtrv {

struct SegmentSpec {
    std::uint16_t position = 1;  // 1-based
    std::uint16_t length = 0;
    std::uint16_t flags = B_KEY_EXTENDED_TYPE;  // the segmented flag is set by the builder
    std::uint8_t type = 0;                      // extended key type
    std::uint8_t nullValue = 0;
    std::uint8_t keyNumber = 0;          // Stat: the key the segment belongs to
    std::uint8_t collatingSequence = 0;  // which of the sequences, with B_KEY_ALT_COLLATING

    // The type as the record manager reads it: the type byte with the
    // extended-type flag, else unsigned binary or string by the binary flag.
    std::uint8_t effectiveType() const;
};

// One key: its segments in order.
using KeySpec = std::vector<SegmentSpec>;

struct CollatingSequence {
    std::string name;  // up to 8 characters, blank padded in the buffer
    std::array<std::uint8_t, 256> table{};
    bool operator==(const CollatingSequence&) const = default;
};

struct CreateSpec {
    std::uint16_t recordLength = 0;
    std::uint16_t pageSize = 4096;
    std::uint32_t recordCount = 0;  // Stat only: the unused bytes of the file specification
    std::uint16_t fileFlags = 0;
    std::vector<KeySpec> keys;
    std::vector<CollatingSequence> sequences;
};

// File specification, one 16-byte entry per segment (every segment but a
// key's last with the segmented flag), then the collating sequences.
std::vector<std::uint8_t> buildCreateBuffer(const CreateSpec& spec);

// Reads a Create or Stat buffer. Fails with 22 when the buffer ends inside the
// file specification or a key entry, 48 when a segment names a collating
// sequence the buffer does not hold or one lacks its mark. The number of keys
// is not checked against any limit here.
int readCreateBuffer(std::span<const std::uint8_t> buffer, CreateSpec& spec);

}  // namespace wbtrv
