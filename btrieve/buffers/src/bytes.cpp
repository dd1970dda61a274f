#include <wbtrv32/bytes.h>

namespace wbtrv {

std::uint64_t readLittleEndian(const std::uint8_t* bytes, std::size_t length) {
    std::uint64_t v = 0;
    for (std::size_t i = length; i-- > 0;) v = (v << 8) | bytes[i];
    return v;
}

std::int64_t readSignedLittleEndian(const std::uint8_t* bytes, std::size_t length) {
    std::uint64_t v = readLittleEndian(bytes, length);
    if (length < 8 && (bytes[length - 1] & 0x80)) v |= ~std::uint64_t{0} << (8 * length);
    return static_cast<std::int64_t>(v);
}

void writeLittleEndian(std::uint8_t* bytes, std::size_t length, std::uint64_t value) {
    for (std::size_t i = 0; i < length; ++i, value >>= 8) bytes[i] = static_cast<std::uint8_t>(value);
}

std::string hex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> fromHex(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = digitValue(text[i]);
        const int low = digitValue(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return bytes;
}

}  // namespace wbtrv
