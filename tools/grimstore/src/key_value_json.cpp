#include "key_value_json.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <string>

namespace grimstore {
namespace {

using wbtrv::readLittleEndian;

std::string text(std::span<const uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

// Infinities and NaN have no JSON number.
nlohmann::ordered_json number(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    return v;
}

double bfloatValue(std::span<const uint8_t> b) {
    const size_t bits = 8 * (b.size() - 1);
    if (b.back() == 0) return 0;
    uint64_t mantissa = readLittleEndian(b.data(), b.size() - 1);
    const bool negative = (mantissa >> (bits - 1)) & 1;
    mantissa |= uint64_t{1} << (bits - 1);
    const double v = std::ldexp(static_cast<double>(mantissa), b.back() - 128 - static_cast<int>(bits));
    return negative ? -v : v;
}

// Digits with a sign and, for money, two implied decimal places.
std::string decimalText(std::string digits, bool negative, int places) {
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    while (static_cast<int>(digits.size()) <= places) digits.insert(digits.begin(), '0');
    if (places > 0) digits.insert(digits.end() - places, '.');
    const bool zero = digits.find_first_not_of("0.") == std::string::npos;
    return (negative && !zero ? "-" : "") + digits;
}

std::string packedText(std::span<const uint8_t> b, int places) {
    std::string digits;
    for (size_t i = 0; i + 1 < 2 * b.size(); ++i)
        digits += static_cast<char>('0' + std::min((i % 2 ? b[i / 2] & 0xF : b[i / 2] >> 4), 9));
    return decimalText(digits, (b.back() & 0xF) == 0xD, places);
}

std::string numericText(std::span<const uint8_t> b, bool trailingSignByte) {
    auto digit = [](uint8_t c) { return c >= '0' && c <= '9' ? static_cast<char>(c) : '0'; };
    std::string digits;
    for (size_t i = 0; i + 1 < b.size(); ++i) digits += digit(b[i]);
    const uint8_t last = b.back();
    if (trailingSignByte) return decimalText(digits, last == '-', 0);
    const bool negative = last == '}' || (last >= 'J' && last <= 'R');
    if (last >= 'A' && last <= 'I')
        digits += static_cast<char>('1' + last - 'A');
    else if (last >= 'J' && last <= 'R')
        digits += static_cast<char>('1' + last - 'J');
    else
        digits += digit(last);
    return decimalText(digits, negative, 0);
}

std::string formatted(const char* format, int a, int b, int c, int d = 0) {
    char out[32];
    std::snprintf(out, sizeof out, format, a, b, c, d);
    return out;
}

}  // namespace

nlohmann::ordered_json segmentValue(const SegmentEntry& segment, std::span<const uint8_t> b) {
    const size_t n = b.size();
    switch (segment.effectiveType()) {
        case B_TYPE_STRING:
            return text(b.first(b.size() - std::distance(b.rbegin(), std::find_if(b.rbegin(), b.rend(),
                                                                                  [](uint8_t c) { return c != 0; }))));
        case B_TYPE_LSTRING:
            return text(b.subspan(1, std::min<size_t>(b[0], n - 1)));
        case B_TYPE_ZSTRING:
            return text(b.first(static_cast<size_t>(std::find(b.begin(), b.end(), 0) - b.begin())));
        case B_TYPE_INTEGER:
        case B_TYPE_AUTOINCREMENT:
            if (n > 8) break;
            return wbtrv::readSignedLittleEndian(b.data(), n);
        case B_TYPE_UNSIGNED_BINARY:
        case B_TYPE_LOGICAL:
            if (n > 8) break;
            return readLittleEndian(b.data(), n);
        case B_TYPE_FLOAT:
            if (n == 4) return number(std::bit_cast<float>(static_cast<uint32_t>(readLittleEndian(b.data(), 4))));
            if (n == 8) return number(std::bit_cast<double>(readLittleEndian(b.data(), 8)));
            break;
        case B_TYPE_BFLOAT:
            if (n < 2 || n > 9) break;
            return number(bfloatValue(b));
        case B_TYPE_DATE:
            if (n != 4) break;
            return formatted("%04d-%02d-%02d", static_cast<int>(wbtrv::readSignedLittleEndian(b.data() + 2, 2)), b[1],
                             b[0]);
        case B_TYPE_TIME:
            if (n != 4) break;
            return formatted("%02d:%02d:%02d.%02d", b[3], b[2], b[1], b[0]);
        case B_TYPE_DECIMAL:
            return packedText(b, 0);
        case B_TYPE_MONEY:
            return packedText(b, 2);
        case B_TYPE_NUMERIC:
            return numericText(b, false);
        case B_TYPE_NUMERIC_STS:
            return numericText(b, true);
        default:
            break;
    }
    return wbtrv::hex(b);  // a type or length we have no form for
}

nlohmann::ordered_json keyValue(const KeySegments& key, std::span<const uint8_t> record) {
    nlohmann::ordered_json segments = nlohmann::ordered_json::array();
    for (const SegmentEntry& segment : key) {
        if (segment.position == 0 || segment.position - 1u + segment.length > record.size() || segment.length == 0)
            return nullptr;
        segments.push_back(segmentValue(segment, record.subspan(segment.position - 1u, segment.length)));
    }
    return segments.size() == 1 ? segments[0] : segments;
}

}  // namespace grimstore
