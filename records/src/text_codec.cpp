#include "records/text_codec.h"

#include <algorithm>
#include <array>

namespace records {
namespace {

// The characters of bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kHighHalf{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 0x80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 0x88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 0x90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 0x98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // 0xA0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // 0xA8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // 0xB0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // 0xB8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // 0xC0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // 0xC8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // 0xD0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // 0xD8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // 0xE0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // 0xE8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // 0xF0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // 0xF8
};

std::optional<unsigned char> byteOf(char16_t c) {
    if (c < 0x80) return static_cast<unsigned char>(c);
    const auto* found = std::find(kHighHalf.begin(), kHighHalf.end(), c);
    if (found == kHighHalf.end()) return std::nullopt;
    return static_cast<unsigned char>(0x80 + (found - kHighHalf.begin()));
}

// The lower-case letter of an upper-case one in the scripts code page 437 holds
// (Basic Latin, Latin-1, Greek capitals); any other character is itself.
constexpr char16_t lowerCase(char16_t c) {
    const bool upper = (c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) ||
                       (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2);
    return upper ? static_cast<char16_t>(c + 0x20) : c;
}

char16_t characterOf(unsigned char b) { return b < 0x80 ? static_cast<char16_t>(b) : kHighHalf[b - 0x80]; }

std::array<unsigned char, 256> foldTable() {
    std::array<unsigned char, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] =
            byteOf(lowerCase(characterOf(static_cast<unsigned char>(b)))).value_or(static_cast<unsigned char>(b));
    return table;
}

}  // namespace

unsigned char foldedCase(unsigned char byte) {
    static const std::array<unsigned char, 256> table = foldTable();
    return table[byte];
}

std::u16string decodeText(std::span<const char> bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        text.push_back(u < 0x80 ? static_cast<char16_t>(u) : kHighHalf[u - 0x80]);
    }
    return text;
}

std::u16string decodeShownText(std::span<const char> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    return decodeText(bytes.first(static_cast<std::size_t>(end - bytes.begin())));
}

std::optional<std::string> encodeText(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const char16_t c : text) {
        const auto b = byteOf(c);
        if (!b) return std::nullopt;
        bytes.push_back(static_cast<char>(*b));
    }
    return bytes;
}

std::optional<std::size_t> firstUnencodable(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!byteOf(text[i])) return i;
    return std::nullopt;
}

}  // namespace records
