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

}  // namespace wbtrv
