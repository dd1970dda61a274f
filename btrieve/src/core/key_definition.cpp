#include "core/key_definition.h"

#include <wbtrv32/bytes.h>

#include <algorithm>

namespace wbtrv {

std::uint32_t KeyDefinition::length() const {
    std::uint32_t total = 0;
    for (const auto& s : segments) total += s.length;
    return total;
}

bool KeyDefinition::allowsDuplicates() const {
    return !absent() && !autoincrement() && (first().attributes & B_KEY_DUPLICATES);
}
bool KeyDefinition::modifiable() const { return (first().attributes & B_KEY_MODIFIABLE) != 0; }
// A dropped key's number is asked too where every key number is walked (the highest values of a batch).
bool KeyDefinition::autoincrement() const { return !absent() && first().dataType == B_TYPE_AUTOINCREMENT; }

bool KeyDefinition::nullable() const {
    return !autoincrement() && (first().attributes & (B_KEY_NULL_ALL | B_KEY_NULL_ANY)) != 0;
}

bool KeyDefinition::integerColumn() const {
    const KeySegment& s = first();
    return segments.size() == 1 && isIntegerType(s.dataType) && !(s.attributes & B_KEY_DESCENDING);
}

bool KeyDefinition::supported() const {
    if (integerColumn()) return lengthAllowed(first().dataType, first().length);
    return encodedColumn && !autoincrement() && std::all_of(segments.begin(), segments.end(), [](const KeySegment& s) {
               return lengthAllowed(s.dataType, s.length) && (s.collating || !(s.attributes & B_KEY_ALT_COLLATING));
           });
}

bool KeyDefinition::fitsIn(std::span<const std::uint8_t> record) const {
    return std::all_of(segments.begin(), segments.end(),
                       [&](const KeySegment& s) { return std::size_t{s.offset} + s.length <= record.size(); });
}

void KeyDefinition::keyBytesOf(std::span<const std::uint8_t> record, std::uint8_t* out) const {
    for (const KeySegment& s : segments) out = std::copy_n(record.begin() + s.offset, s.length, out);
}

bool KeyDefinition::valueFromKeyBytes(const std::uint8_t* bytes, KeyValue& out) const {
    out = KeyValue{};
    // A null key value (as a null key defines it) is in no record.
    if (nullable()) {
        const bool any = (first().attributes & B_KEY_NULL_ANY) != 0;
        std::size_t nullSegments = 0;
        const std::uint8_t* at = bytes;
        for (const KeySegment& s : segments) {
            nullSegments += s.isNull(at);
            at += s.length;
        }
        if (any ? nullSegments > 0 : nullSegments == segments.size()) return true;
    }
    out.null = false;
    if (integerColumn()) {
        const KeySegment& s = first();
        // An unsigned 8-byte value with the top bit set has no SQLite integer that
        // keeps its order, so such values are refused rather than stored out of order.
        if (s.dataType == B_TYPE_UNSIGNED_BINARY) {
            if (s.length == 8 && (bytes[7] & 0x80)) return false;
            out.integer = static_cast<std::int64_t>(readLittleEndian(bytes, s.length));
        } else {
            out.integer = readSignedLittleEndian(bytes, s.length);
        }
        return true;
    }
    std::size_t width = 0;
    for (const KeySegment& s : segments) width += encodedWidth(s);
    out.encoded.resize(width);
    std::uint8_t* to = out.encoded.data();
    for (const KeySegment& s : segments) {
        encodeSegment(s, bytes, to);
        bytes += s.length;
        to += encodedWidth(s);
    }
    return true;
}

bool KeyDefinition::awaitsNextValue(std::span<const std::uint8_t> record) const {
    return autoincrement() && readSignedLittleEndian(record.data() + first().offset, first().length) == 0;
}

bool KeyDefinition::giveNextValue(std::int64_t highest, std::span<std::uint8_t> record) const {
    const std::int64_t value = std::max<std::int64_t>(highest, 0) + 1;
    if (value >= (std::int64_t{1} << (8 * length() - 1))) return false;
    writeLittleEndian(record.data() + first().offset, first().length, static_cast<std::uint64_t>(value));
    return true;
}

bool KeyDefinition::valueFromRecord(std::span<const std::uint8_t> record, KeyValue& out) const {
    if (segments.size() == 1) return valueFromKeyBytes(record.data() + first().offset, out);
    std::vector<std::uint8_t> bytes(length());
    keyBytesOf(record, bytes.data());
    return valueFromKeyBytes(bytes.data(), out);
}

}  // namespace wbtrv
