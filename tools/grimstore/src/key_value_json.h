// A key's value in its type's own form for dump: numbers as numbers, a date
// as YYYY-MM-DD, a time as HH:MM:SS.hh, strings as text, decimals as exact
// decimal text.
#pragma once

#include <cstdint>
#include <span>

#include <nlohmann/json.hpp>

#include "key_text.h"

namespace grimstore {

// The segment's value from its own bytes (segment.length of them).
nlohmann::ordered_json segmentValue(const SegmentEntry& segment, std::span<const uint8_t> bytes);

// The key's value in a record: one segment's value, or an array with one per
// segment; null when a segment lies outside the record.
nlohmann::ordered_json keyValue(const KeySegments& key, std::span<const uint8_t> record);

}  // namespace grimstore
