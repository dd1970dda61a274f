// The editor's side of the record manager: the three calling shapes, and the one
// status check and report used at every call site.
#pragma once

#include <cstdint>
#include <string_view>

#include "store/btr_call.h"
#include "store/status_reporter.h"
#include "store/table_file_block.h"

namespace store {

// Operation codes the editor uses.
enum Operation : std::uint16_t {
    BOpen = 0,
    BClose = 1,
    BInsert = 2,
    BUpdate = 3,
    BDelete = 4,
    BGetEqual = 5,
    BGetNext = 6,
    BGetPrevious = 7,
    BGetFirst = 12,
    BGetLast = 13,
    BStop = 25,
    BReset = 28,
};

inline constexpr std::int16_t kEndOfFile = 9;

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
