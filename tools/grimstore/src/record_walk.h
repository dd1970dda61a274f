// Reads every record of an open data file in key order, along the first key
// the record manager can follow: Get First, then batches of Get Next
// Extended, each one read of the record manager (one round trip to a server).
#pragma once

#include <wbtrv32/client.h>
#include <wbtrv32/create_entries.h>

#include <cstdint>
#include <functional>
#include <span>

namespace grimstore {

struct WalkResult {
    int16_t status = 0;  // 0 after the last record, else the failing status
    int8_t key = 0;      // the key followed
    uint64_t visited = 0;
};

// The records of one read, in key order, valid until the next call on the
// file. Returning false stops the walk.
using BatchVisitor = std::function<bool(std::span<const std::span<const uint8_t>> records)>;
// One record at a time.
using RecordVisitor = std::function<bool(std::span<const uint8_t> record)>;

// Records of one batch, read or written: as many as fit in about a megabyte.
uint16_t recordsPerBatch(uint32_t recordLength);

WalkResult walkRecordBatches(wbtrv::client::File& file, const wbtrv::CreateEntries& entries, const BatchVisitor& visit);
WalkResult walkRecords(wbtrv::client::File& file, const wbtrv::CreateEntries& entries, const RecordVisitor& visit);

}  // namespace grimstore
