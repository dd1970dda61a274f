// Reads every record of an open data file in key order through Get First and
// Get Next, along the first key the record manager can follow.
#pragma once

#include <wbtrv32/client.h>

#include <cstdint>
#include <functional>
#include <span>

namespace grimstore {

struct WalkResult {
    int16_t status = 0;  // 0 after the last record, else the failing status
    int8_t key = 0;      // the key followed
    uint64_t visited = 0;
};

// visit is called once per record, with the bytes the record manager returned
// (valid until the next call on the file); it may delete the current record.
// Returning false stops the walk.
using RecordVisitor = std::function<bool(std::span<const uint8_t> record)>;

WalkResult walkRecords(wbtrv::client::File& file, size_t keyCount, const RecordVisitor& visit);

}  // namespace grimstore
