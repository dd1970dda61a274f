// The editor's side of the record manager: the three calling shapes, and the one
// status check and report used at every call site.
#pragma once

#include <cstdint>
#include <string_view>

#include <wbtrv32/btrieve.h>

#include "store/btr_call.h"
#include "store/status_reporter.h"
#include "store/table_file_block.h"

namespace store {

// A record-manager operation code (B_OPEN ... in wbtrv32/btrieve.h).
using Operation = std::uint16_t;

// Whether a status of 9 ends the action silently at this call site.
enum class EndOfFile { Silent, Reported };

class RecordStore {
public:
    RecordStore(BtrCall call, StatusReporter& reporter);

    // Shape 1: an operation on a table with its own buffers, data length = record length.
    std::int16_t onTable(Operation operation, TableFileBlock& block) const;
    // Shape 2: Get Equal with the record number as a 4-byte key.
    std::int16_t getEqual(TableFileBlock& block, std::int32_t recordNumber) const;
    // Shape 3: Stop or Reset, with zeroed scratch buffers.
    std::int16_t onRecordManager(Operation operation) const;

    // True for status 0. Otherwise reports prefix followed by the status, except a
    // silent end of file, and returns false.
    bool check(std::int16_t status, std::string_view prefix, EndOfFile endOfFile = EndOfFile::Reported) const;

    StatusReporter& reporter() const { return reporter_; }

private:
    BtrCall call_;
    StatusReporter& reporter_;
};

}  // namespace store
