#include "key_text.h"

#include <array>
#include <charconv>

#include <wbtrv32/btrieve.h>

namespace grimstore {
namespace {

struct Named {
    std::string_view name;
    uint16_t value;
};

// First name of a value is the one printed; later ones are accepted aliases.
constexpr auto kTypeNames = std::to_array<Named>({
    {"string", B_TYPE_STRING},
    {"integer", B_TYPE_INTEGER},
    {"int", B_TYPE_INTEGER},
    {"float", B_TYPE_FLOAT},
    {"date", B_TYPE_DATE},
    {"time", B_TYPE_TIME},
    {"decimal", B_TYPE_DECIMAL},
    {"money", B_TYPE_MONEY},
    {"logical", B_TYPE_LOGICAL},
    {"numeric", B_TYPE_NUMERIC},
    {"bfloat", B_TYPE_BFLOAT},
    {"lstring", B_TYPE_LSTRING},
    {"zstring", B_TYPE_ZSTRING},
    {"note", B_TYPE_NOTE},
    {"lvar", B_TYPE_LVAR},
    {"unsigned", B_TYPE_UNSIGNED_BINARY},
    {"unsigned-binary", B_TYPE_UNSIGNED_BINARY},
    {"uint", B_TYPE_UNSIGNED_BINARY},
    {"autoinc", B_TYPE_AUTOINCREMENT},
    {"autoincrement", B_TYPE_AUTOINCREMENT},
    {"bit", B_TYPE_BIT},
    {"numeric-sts", B_TYPE_NUMERIC_STS},
    {"numericsts", B_TYPE_NUMERIC_STS},
});

// The extended-type flag is not listed: the type column already says it, and
// Create always sets it.
constexpr auto kFlagNames = std::to_array<Named>({
    {"dup", B_KEY_DUPLICATES},
    {"mod", B_KEY_MODIFIABLE},
    {"bin", B_KEY_BINARY},
    {"null", B_KEY_NULL_ALL},
    {"seg", B_KEY_SEGMENTED},
    {"alt", B_KEY_ALT_COLLATING},
    {"desc", B_KEY_DESCENDING},
    {"sup", B_KEY_SUPPLEMENTAL},
    {"nullany", B_KEY_NULL_ANY},
    {"nocase", B_KEY_NOCASE},
});

template <typename T>
std::optional<T> parseNumber(std::string_view text) {
    T value{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

template <size_t N>
std::optional<uint16_t> lookup(const std::array<Named, N>& table, std::string_view name) {
    for (const auto& entry : table)
        if (entry.name == name) return entry.value;
    return std::nullopt;
}

std::vector<std::string_view> split(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || separators.find(text[i]) != std::string_view::npos) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

}  // namespace

std::optional<SegmentEntry> parseKeySegment(std::string_view text, std::string& error) {
    const auto parts = split(text, ":");
    if (parts.size() < 3) {
        error = "expected POS:LEN:TYPE[:FLAGS]";
        return std::nullopt;
    }
    SegmentEntry segment;
    const auto position = parseNumber<uint16_t>(parts[0]);
    const auto length = parseNumber<uint16_t>(parts[1]);
    if (!position || *position == 0) {
        error = "position '" + std::string(parts[0]) + "' is not a number from 1 to 65535";
        return std::nullopt;
    }
    if (!length || *length == 0 || *length > BTR_MAX_KEY_LENGTH) {
        error = "length '" + std::string(parts[1]) + "' is not a number from 1 to 255";
        return std::nullopt;
    }
    segment.position = *position;
    segment.length = *length;

    auto type = lookup(kTypeNames, parts[2]);
    if (!type) type = parseNumber<uint8_t>(parts[2]);
    if (!type || *type > B_TYPE_NUMERIC_STS) {
        error = "unknown key type '" + std::string(parts[2]) + "'";
        return std::nullopt;
    }
    segment.type = static_cast<uint8_t>(*type);
    segment.flags = B_KEY_EXTENDED_TYPE;
    for (size_t i = 3; i < parts.size(); ++i) {
        for (std::string_view name : split(parts[i], ",")) {
            const auto flag = lookup(kFlagNames, name);
            if (!flag) {
                error = "unknown key flag '" + std::string(name) + "'";
                return std::nullopt;
            }
            segment.flags |= *flag;
        }
    }
    return segment;
}

std::string typeName(uint8_t type) {
    for (const auto& entry : kTypeNames)
        if (entry.value == type) return std::string(entry.name);
    return "type " + std::to_string(type);
}

std::string flagNames(uint16_t flags) {
    std::string names;
    for (const auto& entry : kFlagNames) {
        if (!(flags & entry.value)) continue;
        if (!names.empty()) names += ',';
        names += entry.name;
    }
    return names.empty() ? "none" : names;
}

std::optional<KeySegments> parseKey(std::string_view text, std::string& error) {
    KeySegments key;
    for (std::string_view part : split(text, "+")) {
        const auto segment = parseKeySegment(part, error);
        if (!segment) return std::nullopt;
        key.push_back(*segment);
    }
    return key;
}

}  // namespace grimstore
