// A batched read: what the extended operations ask an engine for in one
// primitive (records examined in turn along a key or in physical order,
// filtered, extracted, counted against a reject limit) and what it answers,
// with the collector an engine feeds the records it walks through when it
// evaluates the filter on record bytes.
#pragma once

#include "core/file_layout.h"
#include "core/record_filter.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace wbtrv {

// Where a batch begins, relative to its starting record (value and id).
enum class BatchStart {
    At,         // with the starting record (or, when it is gone, the next one)
    After,      // with the record after it
    PastValue,  // along a key: with the first record of the next value
};

struct BatchRequest {
    std::optional<std::size_t> key;  // along this key; none: in physical order
    bool forward = true;
    BatchStart start = BatchStart::After;
    KeyValue value;       // along a key: the starting record's value (not null)
    std::int64_t id = 0;  // the starting record's id
    const RecordFilter* filter = nullptr;
    const Extraction* extraction = nullptr;
    std::uint32_t wanted = 1;      // records to return
    std::uint32_t maxRejects = 1;  // records that may fail the filter
};

// What a batch returns goes straight into the caller's data buffer: no
// copy of each record on the way there.
struct BatchAnswer {
    std::span<std::uint8_t> out;        // where the entries go: extracted length (2), position (4), bytes
    std::size_t used = 0;               // bytes of `out` written
    std::uint32_t count = 0;            // records returned
    std::vector<std::int64_t> keptIds;  // the ids of the records returned
    bool examined = false;              // a record was examined: the last one follows
    std::int64_t lastId = 0;
    KeyValue lastValue;                 // along a key: the last record's value
    std::vector<std::uint8_t> lastKey;  // along a key: the last record's key bytes

    // Empties the answer, which is to go into `into`.
    void clear(std::span<std::uint8_t> into);
    // Adds a record's entry; false when `out` has no room for it.
    bool keep(std::int64_t id, std::span<const std::uint8_t> extracted);
    bool keep(std::int64_t id, const std::uint8_t* record, const Extraction& extraction);
    // Along a key: makes the record examined last the position, from its key
    // bytes and the value its key column holds; false (a damaged record) when
    // they disagree.
    bool examinedAlong(const KeyDefinition& key, std::int64_t id, std::span<const std::uint8_t> keyBytes,
                       const KeyValue& stored);
};

// The status of a batch that examined `kept` and `rejected` records: 0 when
// the records asked were found, 60 at the reject limit, else 9 (the end came first).
int batchStatus(const BatchRequest& request, std::uint32_t kept, std::uint32_t rejected);

// Examines records in the order of the walk, as an engine reads them, and
// fills the answer: the length of each record checked, and along a key its
// key column against its bytes (a damaged record answers 2), the filter
// evaluated, the records kept extracted, the count checked against the
// records asked and the reject limit.
class BatchCollector {
public:
    BatchCollector(const FileLayout& layout, const BatchRequest& request, BatchAnswer& answer);
    // Examines the next record; `stored` is its key column along a key. False
    // when the batch is complete, or the record damaged: then status() says which.
    bool examine(std::int64_t id, std::span<const std::uint8_t> data, const KeyValue* stored);
    // 0, 60, 2 once examine() answered false; 9 when the walk ran out first.
    int status() const { return status_; }

private:
    const FileLayout& layout_;
    const BatchRequest& request_;
    BatchAnswer& answer_;
    std::uint32_t rejected_ = 0;
    int status_ = 9;
    std::vector<std::uint8_t> keyBytes_;
};

}  // namespace wbtrv
