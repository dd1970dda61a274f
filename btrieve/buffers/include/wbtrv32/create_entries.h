// The published Create buffer (also what Stat returns) as a structure: the
// file's entry, one key entry per segment of every key, the collating
// sequences. One builder and one reader, shared by the record manager, its
// tools, tests and benchmarks.
#pragma once

#include <wbtrv32/btrieve.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wbtrv {

// One key entry: a segment of a key.
struct SegmentEntry {
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
using KeySegments = std::vector<SegmentEntry>;

struct CollatingSequence {
    std::string name;  // up to 8 characters, blank padded in the buffer
    std::array<std::uint8_t, 256> table{};
    bool operator==(const CollatingSequence&) const = default;
};

// Everything a Create buffer holds: the file's entry, its keys, its collating sequences.
struct CreateEntries {
    std::uint16_t recordLength = 0;
    std::uint16_t pageSize = 4096;
    std::uint32_t recordCount = 0;  // Stat only: the unused bytes of the file's entry
    std::uint16_t fileFlags = 0;
    // Stat only: the access code of the file's owner name, when it has one
    // (offsets 12 and 13 of the file's entry: 1 and the code).
    std::optional<std::uint8_t> ownerAccess;
    std::vector<KeySegments> keys;
    std::vector<CollatingSequence> sequences;
};

// The file's entry, one 16-byte key entry per segment (every segment but a
// key's last with the segmented flag), then the collating sequences.
std::vector<std::uint8_t> buildCreateBuffer(const CreateEntries& entries);

// Reads a Create or Stat buffer. Fails with 22 when the buffer ends inside the
// file's entry or a key entry, 48 when a segment names a collating sequence the
// buffer does not hold or one lacks its mark. The number of keys is not checked
// against any limit here.
int readCreateBuffer(std::span<const std::uint8_t> buffer, CreateEntries& entries);

}  // namespace wbtrv
