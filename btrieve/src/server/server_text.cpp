#include "server/server_text.h"

#include <wbtrv32/bytes.h>

#include <cstdint>

namespace wbtrv {
namespace {

// The length of the valid UTF-8 sequence at the start of `s` (no overlong
// form, no surrogate, nothing above U+10FFFF, no zero byte), 0 if none.
std::size_t utf8Length(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const std::uint8_t lead = byte(0);
    if (lead >= 0x01 && lead <= 0x7F) return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    if (length == 0 || s.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

}  // namespace

std::string textOnServer(std::string_view bytes) {
    std::string text;
    while (!bytes.empty()) {
        const std::size_t length = bytes[0] == '\\' ? 0 : utf8Length(bytes);
        if (length > 0) {
            text.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
            continue;
        }
        const auto byte = static_cast<std::uint8_t>(bytes[0]);
        text += "\\x";
        text += hex(std::span(&byte, 1));
        bytes.remove_prefix(1);
    }
    return text;
}

std::string bytesFromServer(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto escaped = text.substr(i).starts_with("\\x") ? fromHex(text.substr(i + 2, 2)) : std::nullopt;
        if (!escaped || escaped->size() != 1) {
            bytes += text[i];
            continue;
        }
        bytes += static_cast<char>(escaped->front());
        i += 3;
    }
    return bytes;
}

}  // namespace wbtrv
