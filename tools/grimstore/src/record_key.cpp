#include "record_key.h"

#include <algorithm>

#include "key_value_json.h"

namespace grimstore {

bool RecordKey::namesOneRecord() const {
    constexpr uint16_t kLeavesOut = B_KEY_DUPLICATES | B_KEY_NULL_ALL | B_KEY_NULL_ANY;
    return !key_.empty() && std::ranges::none_of(key_, [](const SegmentEntry& s) { return s.flags & kLeavesOut; });
}

bool RecordKey::sameAs(const KeySegments& other) const {
    const auto same = [](const SegmentEntry& a, const SegmentEntry& b) {
        return a.position == b.position && a.length == b.length && a.flags == b.flags &&
               a.effectiveType() == b.effectiveType() && a.nullValue == b.nullValue;
    };
    return std::ranges::equal(key_, other, same);
}

std::optional<std::vector<uint8_t>> RecordKey::bytes(std::span<const uint8_t> record) const {
    std::vector<uint8_t> key;
    for (const SegmentEntry& segment : key_) {
        if (segment.position < 1 || segment.position - 1u + segment.length > record.size()) return std::nullopt;
        const auto part = record.subspan(segment.position - 1u, segment.length);
        key.insert(key.end(), part.begin(), part.end());
    }
    return key;
}

nlohmann::ordered_json RecordKey::value(std::span<const uint8_t> record) const { return keyValue(key_, record); }

std::string RecordKey::text(std::span<const uint8_t> record) const {
    return value(record).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace grimstore
