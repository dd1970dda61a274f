// A key of a data file: its segments as kept in keys_t, and how its value is
// computed from the bytes of a record or of a key buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wbtrv {

struct KeySegment {
    std::uint16_t attributes = 0;  // key flags as given on Create
    std::uint8_t dataType = 0;     // extended key type code
    std::uint32_t offset = 0;      // 0-based position in the record
    std::uint32_t length = 0;
    std::uint8_t nullValue = 0;
    bool hasCollatingSequence = false;
};

// A key value as the key_N column holds it; empty for a null key (not indexed).
using KeyValue = std::optional<std::int64_t>;

// The key flags and type that decide whether we handle a key.
bool isIntegerType(std::uint8_t dataType);
// Whether a single segment of this type may have this length.
bool lengthAllowed(std::uint8_t dataType, std::uint32_t length);

struct KeyDefinition {
    std::vector<KeySegment> segments;

    const KeySegment& first() const { return segments.front(); }
    std::uint32_t length() const;
    bool allowsDuplicates() const;
    bool modifiable() const;
    bool autoincrement() const;
    bool nullable() const;
    // Keys we can compute and order: one segment of an integer type, ascending.
    bool supported() const;

    // Value of this key in a record (record must cover the segment). Fails
    // only for an unsigned 8-byte value beyond the range of an SQLite integer.
    bool valueFromRecord(std::span<const std::uint8_t> record, KeyValue& out) const;
    // Value of a key buffer holding this key's bytes (at least length() bytes).
    bool valueFromKeyBytes(const std::uint8_t* bytes, std::int64_t& out) const;

    // Column declaration of key_N in data_t.
    std::string columnDeclaration() const;
};

// Little-endian integer of 1..8 bytes, sign- or zero-extended.
std::int64_t readLittleEndian(const std::uint8_t* bytes, std::uint32_t length, bool isSigned);
void writeLittleEndian(std::uint8_t* bytes, std::uint32_t length, std::int64_t value);

}  // namespace wbtrv
