#include "utf8.h"

#include "gamedata/cp437_text.h"

#include <span>

#include "records/text_codec.h"

namespace gamedata::detail {

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::optional<std::u16string> fromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // Stray continuation bytes and four-byte forms (beyond the plane) count as 3.
        const std::size_t extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : 3;
        if (extra == 3 || i + extra >= text.size()) return std::nullopt;
        char32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : (lead & 0x0F);
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates are not characters.
        if ((extra == 1 && c < 0x80) || (extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))))
            return std::nullopt;
        out.push_back(static_cast<char16_t>(c));
        i += extra + 1;
    }
    return out;
}

std::optional<std::string> cp437FromUtf8(std::string_view text) {
    const auto wide = fromUtf8(text);
    if (!wide) return std::nullopt;
    return records::encodeText(*wide);
}

std::string utf8FromCp437(std::string_view bytes) {
    return toUtf8(records::decodeText(std::span<const char>(bytes.data(), bytes.size())));
}

}  // namespace gamedata::detail

namespace gamedata {

std::string utf8Text(std::string_view cp437) { return detail::utf8FromCp437(cp437); }
std::optional<std::string> cp437Text(std::string_view utf8) { return detail::cp437FromUtf8(utf8); }

}  // namespace gamedata
