// One key segment's value as order-preserving bytes: segments of any type,
// each encoded to a fixed width and concatenated, compare as the key orders
// when compared as unsigned bytes (SQLite's BLOB comparison).
#pragma once

#include <wbtrv32/create_entries.h>

#include <cstdint>
#include <memory>

namespace wbtrv {

struct KeySegment {
    std::uint16_t attributes = 0;  // key flags as given on Create
    std::uint8_t dataType = 0;     // extended key type code
    std::uint32_t offset = 0;      // 0-based position in the record
    std::uint32_t length = 0;
    std::uint8_t nullValue = 0;
    // The alternate collating sequence of a string segment that has one.
    std::shared_ptr<const CollatingSequence> collating;

    // Every byte holds the null value.
    bool isNull(const std::uint8_t* bytes) const;
};

// Whether a segment of this type may have this length; types we cannot order
// (note, lvar, bit, unknown codes) allow none.
bool lengthAllowed(std::uint8_t dataType, std::uint32_t length);
bool isIntegerType(std::uint8_t dataType);
// String, lstring and zstring: the types letters fold and collating sequences apply to.
bool isStringType(std::uint8_t dataType);

// Bytes the encoding of this segment takes.
std::uint32_t encodedWidth(const KeySegment& segment);
// Writes encodedWidth(segment) bytes to out from the segment's length bytes.
void encodeSegment(const KeySegment& segment, const std::uint8_t* bytes, std::uint8_t* out);

}  // namespace wbtrv
