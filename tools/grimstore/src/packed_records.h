// Records end to end in one buffer, with where each ends: a batch or a whole
// file of records held without an allocation per record.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "record_walk.h"

namespace grimstore {

class PackedRecords {
public:
    void reserve(size_t bytes, size_t records) {
        bytes_.reserve(bytes);
        ends_.reserve(records);
    }
    void add(std::span<const uint8_t> record) {
        bytes_.insert(bytes_.end(), record.begin(), record.end());
        ends_.push_back(bytes_.size());
    }
    // Empties it; release also gives its memory back.
    void clear(bool release = false);
    size_t count() const { return ends_.size(); }
    size_t bytes() const { return bytes_.size(); }
    // Hands the records in order to visit until it answers false; answers how many it was handed.
    uint64_t visit(const RecordVisitor& visit) const;
    // The records as spans into the buffer, valid until it changes.
    void spans(std::vector<std::span<const uint8_t>>& out) const;

private:
    std::vector<uint8_t> bytes_;
    std::vector<size_t> ends_;
};

}  // namespace grimstore
