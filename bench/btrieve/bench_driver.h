// One way of reaching the benchmark's records: the record manager, or a floor
// doing the same work straight on its engine. Every call returns false on
// failure or at the end of the file.
#pragma once

#include <cstdint>
#include <vector>

#include "bench_files.h"

namespace btrieve_bench {

class Driver {
public:
    virtual ~Driver() = default;
    virtual bool ok() const = 0;  // the file was opened
    virtual bool first() = 0;
    virtual bool last() = 0;
    virtual bool next() = 0;
    virtual bool previous() = 0;
    virtual bool equal(std::int32_t key) = 0;
    virtual bool equalName(std::int32_t id) = 0;  // along the string key 1 of a named file
    virtual bool greater(std::int32_t key) = 0;
    virtual bool stepFirst() = 0;
    virtual bool stepNext() = 0;
    // One batch of kBatchRecords records in physical order from where the
    // last one ended, whole; at the end the next batch starts at the first.
    virtual bool stepBatch() = 0;
    // Every record whose name ends in '7' (one in ten), along key 0: how many; -1 on failure.
    virtual int filteredWalk() = 0;
    virtual bool begin() = 0;  // a transaction
    virtual bool end() = 0;
    virtual bool insert() = 0;
    virtual bool update() = 0;  // the current record
    virtual bool remove() = 0;  // the current record
};

// A floor: what it keeps between calls, as the record manager's position does.
class Floor : public Driver {
public:
    bool ok() const override { return ok_; }

protected:
    std::vector<std::uint8_t> record_ = benchRecord(0);
    std::int64_t id_ = 0;   // the record's row
    std::int64_t key_ = 0;  // its key 0 value
    bool inTransaction_ = false;
    bool ok_ = false;
};

}  // namespace btrieve_bench
