#include "key_definition.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {

bool isIntegerType(std::uint8_t dataType) {
    return dataType == B_TYPE_INTEGER || dataType == B_TYPE_UNSIGNED_BINARY || dataType == B_TYPE_AUTOINCREMENT;
}

bool lengthAllowed(std::uint8_t dataType, std::uint32_t length) {
    if (dataType == B_TYPE_AUTOINCREMENT) return length == 2 || length == 4;
    if (isIntegerType(dataType)) return length == 1 || length == 2 || length == 4 || length == 8;
    return length >= 1 && length <= BTR_MAX_KEY_LENGTH;
}

std::int64_t readLittleEndian(const std::uint8_t* bytes, std::uint32_t length, bool isSigned) {
    std::uint64_t v = 0;
    for (std::uint32_t i = length; i-- > 0;) v = (v << 8) | bytes[i];
    if (isSigned && length < 8 && (bytes[length - 1] & 0x80)) v |= ~std::uint64_t{0} << (8 * length);
    return static_cast<std::int64_t>(v);
}

void writeLittleEndian(std::uint8_t* bytes, std::uint32_t length, std::int64_t value) {
    auto v = static_cast<std::uint64_t>(value);
    for (std::uint32_t i = 0; i < length; ++i, v >>= 8) bytes[i] = static_cast<std::uint8_t>(v);
}

std::uint32_t KeyDefinition::length() const {
    std::uint32_t total = 0;
    for (const auto& s : segments) total += s.length;
    return total;
}

bool KeyDefinition::allowsDuplicates() const { return !autoincrement() && (first().attributes & B_KEY_DUPLICATES); }
bool KeyDefinition::modifiable() const { return (first().attributes & B_KEY_MODIFIABLE) != 0; }
bool KeyDefinition::autoincrement() const { return first().dataType == B_TYPE_AUTOINCREMENT; }

bool KeyDefinition::nullable() const {
    return !autoincrement() && (first().attributes & (B_KEY_NULL_ALL | B_KEY_NULL_ANY)) != 0;
}

bool KeyDefinition::supported() const {
    if (segments.size() != 1) return false;
    const KeySegment& s = first();
    return isIntegerType(s.dataType) && lengthAllowed(s.dataType, s.length) && !(s.attributes & B_KEY_DESCENDING);
}

bool KeyDefinition::valueFromKeyBytes(const std::uint8_t* bytes, std::int64_t& out) const {
    const KeySegment& s = first();
    const bool isSigned = s.dataType != B_TYPE_UNSIGNED_BINARY;
    // An unsigned 8-byte value with the top bit set has no SQLite integer that
    // keeps its order, so such values are refused rather than stored out of order.
    if (!isSigned && s.length == 8 && (bytes[7] & 0x80)) return false;
    out = readLittleEndian(bytes, s.length, isSigned);
    return true;
}

bool KeyDefinition::valueFromRecord(std::span<const std::uint8_t> record, KeyValue& out) const {
    const KeySegment& s = first();
    const std::uint8_t* bytes = record.data() + s.offset;
    if (nullable() && std::all_of(bytes, bytes + s.length, [&](std::uint8_t b) { return b == s.nullValue; })) {
        out.reset();
        return true;
    }
    std::int64_t v = 0;
    if (!valueFromKeyBytes(bytes, v)) return false;
    out = v;
    return true;
}

std::string KeyDefinition::columnDeclaration() const {
    if (autoincrement()) return "INTEGER NOT NULL UNIQUE";
    std::string decl = "INTEGER";
    if (!nullable()) decl += " NOT NULL";
    if (!allowsDuplicates()) decl += " UNIQUE";
    return decl;
}

}  // namespace wbtrv
