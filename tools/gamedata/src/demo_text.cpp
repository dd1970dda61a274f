#include "demo_text.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "utf8.h"

namespace gamedata::detail {

void putText(char* field, std::size_t width, std::string_view utf8) {
    std::string bytes;
    // Encode character by character so one foreign character does not lose the rest.
    const auto wide = fromUtf8(utf8);
    for (const char16_t c : wide.value_or(u"?")) {
        const auto b = cp437FromUtf8(toUtf8(std::u16string(1, c)));
        bytes += b ? *b : std::string("?");
    }
    const bool hasZero = bytes.find('\0') != std::string::npos;
    if (bytes.size() < width && !hasZero) bytes.push_back('\0');
    bytes.resize(std::max(bytes.size(), width), ' ');
    std::memcpy(field, bytes.data(), width);
}

}  // namespace gamedata::detail
