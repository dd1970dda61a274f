// A key of a data file: its segments as kept in keys_t, and how its value is
// computed from the bytes of a record or of a key buffer.
#pragma once

#include "core/key_encoding.h"

#include <cstdint>
#include <span>
#include <vector>

namespace wbtrv {

// A key value as the key_N column holds it: NULL for a record left out of a
// null key, an INTEGER for a key of one ascending integer segment, else the
// concatenated order-preserving encoding of its segments.
struct KeyValue {
    bool null = true;
    std::int64_t integer = 0;
    std::vector<std::uint8_t> encoded;
    bool operator==(const KeyValue&) const = default;
};

struct KeyDefinition {
    std::vector<KeySegment> segments;
    // key_N holds our encoding: set for keys we create, and on Open for a
    // column declared with our encoded type.
    bool encodedColumn = false;

    // A key number no key has: a key was dropped there and the numbers of
    // the keys above it kept. Nothing but this is asked of such a key.
    bool absent() const { return segments.empty(); }
    const KeySegment& first() const { return segments.front(); }
    // Bytes of the key in a key buffer: its segments one after the other.
    std::uint32_t length() const;
    bool allowsDuplicates() const;
    bool modifiable() const;
    bool autoincrement() const;
    bool nullable() const;
    // One ascending segment of an integer type: key_N is an INTEGER column.
    bool integerColumn() const;
    // Keys we can compute and order: an INTEGER column, or our encoding of
    // segments of types and lengths we know.
    bool supported() const;

    // Value of this key in a record (record must cover every segment). Fails
    // only for an unsigned 8-byte value beyond the range of an SQLite integer.
    bool valueFromRecord(std::span<const std::uint8_t> record, KeyValue& out) const;
    // Value of a key buffer holding this key's bytes (at least length() bytes).
    bool valueFromKeyBytes(const std::uint8_t* bytes, KeyValue& out) const;
    // Copies the key's bytes out of a record into a key buffer.
    void keyBytesOf(std::span<const std::uint8_t> record, std::uint8_t* out) const;
    // Whether a record holds every segment.
    bool fitsIn(std::span<const std::uint8_t> record) const;

    // An autoincrement key holding 0 in the record: an Insert gives it the next value.
    bool awaitsNextValue(std::span<const std::uint8_t> record) const;
    // Writes the value after `highest` (1 in an empty file) into the record's
    // key bytes; false when the key's range holds no further value, since the
    // next one would repeat an existing one.
    bool giveNextValue(std::int64_t highest, std::span<std::uint8_t> record) const;
};

}  // namespace wbtrv
