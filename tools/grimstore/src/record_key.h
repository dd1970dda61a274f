// Records named by their key 0, across files whose positions differ: the key's
// bytes in a record (its segments back to back, as Get Equal takes them) and its
// value as dump writes it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "command_support.h"

namespace grimstore {

class RecordKey {
public:
    explicit RecordKey(const KeySegments& key) : key_(key) {}

    // Whether the key names one record: it allows no duplicates, and no record is left out of it.
    bool namesOneRecord() const;
    // Whether other has the same segments: places, lengths, types and flags.
    bool sameAs(const KeySegments& other) const;
    // The key's bytes in the record; none when a segment lies outside it.
    std::optional<std::vector<uint8_t>> bytes(std::span<const uint8_t> record) const;
    // The key's value in the record (a number, text, ...); null when a segment lies outside it.
    nlohmann::ordered_json value(std::span<const uint8_t> record) const;
    // "12", "\"Orc\"": the value as text.
    std::string text(std::span<const uint8_t> record) const;

private:
    KeySegments key_;
};

}  // namespace grimstore
