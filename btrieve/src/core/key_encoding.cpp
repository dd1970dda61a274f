#include "core/key_encoding.h"

#include <wbtrv32/bytes.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

namespace wbtrv {
namespace {

bool oneOf(std::uint32_t length, std::initializer_list<std::uint32_t> allowed) {
    return std::find(allowed.begin(), allowed.end(), length) != allowed.end();
}

void bigEndian(std::uint64_t value, std::uint32_t length, std::uint8_t* out) {
    for (std::uint32_t i = length; i-- > 0; value >>= 8) out[i] = static_cast<std::uint8_t>(value);
}

// A string byte as it sorts: through the collating table, or with a-z folded.
std::uint8_t collated(const KeySegment& s, std::uint8_t b) {
    if (s.collating) return s.collating->table[b];
    if ((s.attributes & B_KEY_NOCASE) && b >= 'a' && b <= 'z') return static_cast<std::uint8_t>(b - 'a' + 'A');
    return b;
}

// The counted bytes zero-padded to `capacity`, then the count: a shorter
// string that is a prefix of a longer one sorts first.
void counted(const KeySegment& s, const std::uint8_t* text, std::uint32_t count, std::uint32_t capacity,
             std::uint8_t* out) {
    std::fill_n(out, capacity, std::uint8_t{0});
    for (std::uint32_t i = 0; i < count; ++i) out[i] = collated(s, text[i]);
    out[capacity] = static_cast<std::uint8_t>(count);
}

// IEEE float: negative values inverted, others with the sign bit set; -0 as
// +0 and every NaN as one value above +infinity.
void ieee(const std::uint8_t* bytes, std::uint32_t length, std::uint8_t* out) {
    std::uint64_t bits = readLittleEndian(bytes, length);
    const std::uint64_t sign = std::uint64_t{1} << (8 * length - 1);
    const bool nan = length == 4 ? std::isnan(std::bit_cast<float>(static_cast<std::uint32_t>(bits)))
                                 : std::isnan(std::bit_cast<double>(bits));
    if (nan) bits = length == 4 ? 0x7FC00000u : 0x7FF8000000000000u;
    if (bits == sign) bits = 0;
    bits = (bits & sign) ? ~bits : bits | sign;
    bigEndian(bits, length, out);
}

// The old binary float: sign byte, exponent, mantissa high to low (sign bit
// cleared); everything after the sign byte inverted for a negative value.
void bfloat(const std::uint8_t* bytes, std::uint32_t length, std::uint8_t* out) {
    const std::uint8_t exponent = bytes[length - 1];
    const bool negative = exponent != 0 && (bytes[length - 2] & 0x80);
    std::fill_n(out, length + 1, std::uint8_t{0});
    out[0] = negative ? 0 : 1;
    if (exponent == 0) return;  // zero, whatever the mantissa holds
    out[1] = exponent;
    for (std::uint32_t i = 0; i + 1 < length; ++i) out[2 + i] = bytes[length - 2 - i];
    out[2] &= 0x7F;
    if (negative)
        for (std::uint32_t i = 1; i <= length; ++i) out[i] = static_cast<std::uint8_t>(~out[i]);
}

// A signed number of decimal digits: one byte 1 for >= 0 and 0 below, then
// the digits as nibbles, complemented when negative. A zero is never negative.
void digits(bool negative, const std::vector<std::uint8_t>& value, std::uint8_t* out) {
    negative = negative && std::any_of(value.begin(), value.end(), [](std::uint8_t d) { return d != 0; });
    std::fill_n(out, 1 + (value.size() + 1) / 2, std::uint8_t{0});
    out[0] = negative ? 0 : 1;
    for (std::size_t i = 0; i < value.size(); ++i) {
        // 15 - d orders like 9 - d, and keeps nibbles above 9 in order too.
        const std::uint8_t d = negative ? static_cast<std::uint8_t>(0xF - value[i]) : value[i];
        out[1 + i / 2] |= static_cast<std::uint8_t>(i % 2 == 0 ? d << 4 : d);
    }
}

std::uint8_t asciiDigit(std::uint8_t c) { return c >= '0' && c <= '9' ? static_cast<std::uint8_t>(c - '0') : 0; }

void packedDecimal(const std::uint8_t* bytes, std::uint32_t length, std::uint8_t* out) {
    std::vector<std::uint8_t> value;
    for (std::uint32_t i = 0; i < 2 * length - 1; ++i)
        value.push_back(i % 2 == 0 ? bytes[i / 2] >> 4 : bytes[i / 2] & 0xF);
    digits((bytes[length - 1] & 0xF) == 0xD, value, out);
}

// ASCII digits whose last byte carries the sign: { A-I positive, } J-R negative.
void numeric(const std::uint8_t* bytes, std::uint32_t length, std::uint8_t* out) {
    std::vector<std::uint8_t> value;
    for (std::uint32_t i = 0; i + 1 < length; ++i) value.push_back(asciiDigit(bytes[i]));
    const std::uint8_t last = bytes[length - 1];
    bool negative = false;
    std::uint8_t d = asciiDigit(last);
    if (last >= 'A' && last <= 'I') d = static_cast<std::uint8_t>(last - 'A' + 1);
    if (last >= 'J' && last <= 'R') d = static_cast<std::uint8_t>(last - 'J' + 1);
    negative = last == '}' || (last >= 'J' && last <= 'R');
    value.push_back(d);
    digits(negative, value, out);
}

void numericTrailingSign(const std::uint8_t* bytes, std::uint32_t length, std::uint8_t* out) {
    std::vector<std::uint8_t> value;
    for (std::uint32_t i = 0; i + 1 < length; ++i) value.push_back(asciiDigit(bytes[i]));
    digits(bytes[length - 1] == '-', value, out);
}

}  // namespace

bool KeySegment::isNull(const std::uint8_t* bytes) const {
    return std::all_of(bytes, bytes + length, [&](std::uint8_t b) { return b == nullValue; });
}

bool isIntegerType(std::uint8_t dataType) {
    return dataType == B_TYPE_INTEGER || dataType == B_TYPE_UNSIGNED_BINARY || dataType == B_TYPE_AUTOINCREMENT;
}

bool isStringType(std::uint8_t dataType) {
    return dataType == B_TYPE_STRING || dataType == B_TYPE_LSTRING || dataType == B_TYPE_ZSTRING;
}

bool lengthAllowed(std::uint8_t dataType, std::uint32_t length) {
    switch (dataType) {
        case B_TYPE_INTEGER:
        case B_TYPE_UNSIGNED_BINARY:
            return oneOf(length, {1, 2, 4, 8});
        case B_TYPE_AUTOINCREMENT:
            return oneOf(length, {2, 4});
        case B_TYPE_FLOAT:
        case B_TYPE_BFLOAT:
            return oneOf(length, {4, 8});
        case B_TYPE_DATE:
        case B_TYPE_TIME:
            return length == 4;
        case B_TYPE_LOGICAL:
            return oneOf(length, {1, 2});
        case B_TYPE_STRING:
        case B_TYPE_DECIMAL:
        case B_TYPE_MONEY:
        case B_TYPE_NUMERIC:
            return length >= 1 && length <= BTR_MAX_KEY_LENGTH;
        case B_TYPE_LSTRING:
        case B_TYPE_ZSTRING:
        case B_TYPE_NUMERIC_STS:
            return length >= 2 && length <= BTR_MAX_KEY_LENGTH;
        default:
            return false;
    }
}

std::uint32_t encodedWidth(const KeySegment& s) {
    switch (s.dataType) {
        case B_TYPE_ZSTRING:
        case B_TYPE_BFLOAT:
            return s.length + 1;
        case B_TYPE_DECIMAL:
        case B_TYPE_MONEY:
            return 1 + s.length;  // sign byte, 2 * length - 1 digits
        case B_TYPE_NUMERIC:
            return 1 + (s.length + 1) / 2;
        case B_TYPE_NUMERIC_STS:
            return 1 + s.length / 2;
        default:
            return s.length;
    }
}

void encodeSegment(const KeySegment& s, const std::uint8_t* bytes, std::uint8_t* out) {
    const std::uint32_t n = s.length;
    switch (s.dataType) {
        case B_TYPE_STRING:
            for (std::uint32_t i = 0; i < n; ++i) out[i] = collated(s, bytes[i]);
            break;
        case B_TYPE_LSTRING:
            counted(s, bytes + 1, std::min<std::uint32_t>(bytes[0], n - 1), n - 1, out);
            break;
        case B_TYPE_ZSTRING:
            counted(s, bytes, static_cast<std::uint32_t>(std::find(bytes, bytes + n, 0) - bytes), n, out);
            break;
        case B_TYPE_INTEGER:
        case B_TYPE_AUTOINCREMENT:
            bigEndian(readLittleEndian(bytes, n), n, out);
            out[0] ^= 0x80;
            break;
        case B_TYPE_FLOAT:
            ieee(bytes, n, out);
            break;
        case B_TYPE_BFLOAT:
            bfloat(bytes, n, out);
            break;
        case B_TYPE_DATE:
            bigEndian(readLittleEndian(bytes + 2, 2) ^ 0x8000, 2, out);
            out[2] = bytes[1];
            out[3] = bytes[0];
            break;
        case B_TYPE_TIME:
            for (std::uint32_t i = 0; i < 4; ++i) out[i] = bytes[3 - i];
            break;
        case B_TYPE_DECIMAL:
        case B_TYPE_MONEY:
            packedDecimal(bytes, n, out);
            break;
        case B_TYPE_NUMERIC:
            numeric(bytes, n, out);
            break;
        case B_TYPE_NUMERIC_STS:
            numericTrailingSign(bytes, n, out);
            break;
        default:  // unsigned binary, logical
            bigEndian(readLittleEndian(bytes, n), n, out);
            break;
    }
    if (s.attributes & B_KEY_DESCENDING) {
        const std::uint32_t width = encodedWidth(s);
        for (std::uint32_t i = 0; i < width; ++i) out[i] = static_cast<std::uint8_t>(~out[i]);
    }
}

}  // namespace wbtrv
