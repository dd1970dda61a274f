// Insert Extended (40): the records read from the data buffer and checked
// before any is inserted, inserted in one batched write of the engine, the
// count and positions written over the buffer.
#include "core/extended_buffers.h"
#include "operations/operations.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

namespace wbtrv {

int insertExtendedOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    if (handle->readOnly) return B_ACCESS_DENIED;
    OpenFile& file = *handle->file;
    const FileLayout& layout = file.layout();
    if (!layout.writable()) return B_OPERATION_NOT_ALLOWED;
    if (args.keyNumber < 0 || !layout.hasKey(static_cast<std::size_t>(args.keyNumber))) return B_INVALID_KEY_NUMBER;
    const KeyDefinition& key = layout.keys[static_cast<std::size_t>(args.keyNumber)];
    if (args.keyCapacity() < key.length()) return B_KEY_BUFFER_TOO_SHORT;
    std::vector<std::span<const std::uint8_t>> given;
    if (const int status = parseInsertRecords(args.dataBytes(), args.dataCapacity(), layout.recordLength, given);
        status != B_NO_ERROR)
        return status;
    // The answer goes over the records, so it must fit where they were (records of one byte would not).
    const std::uint64_t answerLength = 2 + std::uint64_t{kPositionLength} * given.size();
    if (answerLength > args.dataCapacity()) return B_INVALID_INSERT_BUFFER;

    std::vector<std::vector<std::uint8_t>> records;
    records.reserve(given.size());
    for (const auto record : given) records.emplace_back(record.begin(), record.end());
    std::vector<std::int64_t> ids;
    const int status = file.insertBatch(records, ids);
    std::uint8_t* out = args.dataBytes();
    writeLittleEndian(out, 2, ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) writePosition(out + 2 + kPositionLength * i, ids[i]);
    args.setDataLength(static_cast<std::uint32_t>(2 + kPositionLength * ids.size()));
    if (!ids.empty()) {
        // The last record inserted, as stored with any autoincrement value it was given, becomes current.
        std::vector<std::uint8_t>& last = records[ids.size() - 1];
        key.keyBytesOf(last, args.keyBytes());
        handle->scratch.data = std::move(last);
        placeCursor(*handle, args.keyNumber, ids.back(), true);
    }
    return status;
}

}  // namespace wbtrv
