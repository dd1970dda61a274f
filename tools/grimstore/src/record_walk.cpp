#include "record_walk.h"

#include <algorithm>
#include <vector>

namespace grimstore {
namespace {

namespace client = wbtrv::client;

constexpr uint32_t kBatchBytes = 1 << 20;
constexpr uint32_t kMaxBatch = 65535;
// The file flag of records longer than the record length: a batch extracts
// only the fixed part, so they are read one at a time.
constexpr uint16_t kVariableLength = 1;

}  // namespace

uint16_t recordsPerBatch(uint32_t recordLength) {
    return static_cast<uint16_t>(std::clamp<uint32_t>(kBatchBytes / (6u + recordLength), 1, kMaxBatch));
}

WalkResult walkRecordBatches(client::File& file, const wbtrv::CreateEntries& entries, const BatchVisitor& visit) {
    WalkResult result;
    // Keys of types the record manager cannot order by answer 41; try the next.
    int16_t status = B_OPERATION_NOT_ALLOWED;
    for (size_t key = 0; key < entries.keys.size() && status == B_OPERATION_NOT_ALLOWED; ++key) {
        result.key = static_cast<int8_t>(key);
        status = file.get(client::Move::First, result.key);
    }
    const client::ExtendedRequest request =
        client::ExtendedRequest::wholeRecords(entries.recordLength, recordsPerBatch(entries.recordLength));
    bool oneAtATime = entries.fileFlags & kVariableLength;
    std::vector<client::ExtendedRecord> read;
    std::vector<std::span<const uint8_t>> records;
    while (status == B_NO_ERROR) {
        if (records.empty()) records = {file.record()};
        result.visited += records.size();
        if (!visit(records)) break;
        records.clear();
        if (oneAtATime) {
            status = file.get(client::Move::Next, result.key);
            continue;
        }
        status = file.getExtended(client::Direction::Next, result.key, request, read);
        for (const client::ExtendedRecord& record : read) records.push_back(record.bytes);
        if (status == B_END_OF_FILE && !records.empty()) {
            result.visited += records.size();
            visit(records);
        } else if (status != B_NO_ERROR && status != B_END_OF_FILE) {
            // A batch that failed left the position where it was: the records
            // read one at a time find the one that fails, and say which it is.
            oneAtATime = true;
            status = file.get(client::Move::Next, result.key);
        }
    }
    result.status = status == B_END_OF_FILE ? int16_t{B_NO_ERROR} : status;
    return result;
}

WalkResult walkRecords(client::File& file, const wbtrv::CreateEntries& entries, const RecordVisitor& visit) {
    return walkRecordBatches(file, entries, [&](std::span<const std::span<const uint8_t>> records) {
        return std::all_of(records.begin(), records.end(), visit);
    });
}

}  // namespace grimstore
