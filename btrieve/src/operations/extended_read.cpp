// The extended reads (36-39): the request read from the data buffer and
// checked before anything moves, one batched read of the engine, the lock
// bias applied to what it returns, the answer written over the request, and
// the position moved to the last record examined.
#include "core/extended_buffers.h"
#include "operations/operations.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <algorithm>
#include <limits>

namespace wbtrv {
namespace {

// Whether the block has stood anywhere since it was opened: right after
// Open a physical batch starts at the first (or last) record.
bool placed(const Cursor& cursor) { return cursor.positioned || cursor.hasCurrent || cursor.recordId != 0; }

// Along a key the block needs a key position on that key: 0, 8 or 7.
int keyPosition(const Cursor& cursor, const CallArgs& args) {
    if (!cursor.positioned) return B_INVALID_POSITIONING;
    return cursor.keyNumber == args.keyNumber ? B_NO_ERROR : B_DIFFERENT_KEY_NUMBER;
}

// The batch from the block's position.
BatchRequest batchFrom(const Cursor& cursor, const CallArgs& args, const FileLayout& layout, bool alongKey,
                       const ExtendedRequest& request) {
    BatchRequest batch;
    batch.forward = args.operation == B_GET_NEXT_EXTENDED || args.operation == B_STEP_NEXT_EXTENDED;
    batch.start = request.fromCurrent ? BatchStart::At : BatchStart::After;
    batch.id = cursor.recordId;
    if (alongKey) {
        batch.key = static_cast<std::size_t>(args.keyNumber);
        batch.value = cursor.keyValue;
        // After a key-only read the position stands on a value, not on one of its records; on a
        // unique key the next record is the next value's too, as for Get Next, even when a record
        // of the position's value came in after the one the position was on went.
        const bool byValue = cursor.skipDuplicates || !layout.keys[batch.key.value()].allowsDuplicates();
        if (byValue && !request.fromCurrent) batch.start = BatchStart::PastValue;
    } else if (!placed(cursor)) {
        batch.start = BatchStart::At;
        batch.id = batch.forward ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    }
    batch.filter = &request.filter;
    batch.extraction = &request.extraction;
    batch.wanted = request.wanted;
    batch.maxRejects = request.maxRejects;
    return batch;
}

// The lock bias on the records returned: the last one (single locks) or each
// (multiple locks). All or none: a lock that cannot be taken gives back
// those this call took.
int lockReturned(Handle& handle, const CallArgs& args, const BatchAnswer& answer) {
    if (!args.lockBias || answer.count == 0) return B_NO_ERROR;
    if (args.lockBias < B_MULTIPLE_WAIT_LOCK) return lockRead(handle, args, answer.keptIds.back());
    std::vector<std::int64_t> taken;
    for (const std::int64_t id : answer.keptIds) {
        const bool held = handle.multipleLocks.contains(id);
        if (const int status = lockRead(handle, args, id); status != B_NO_ERROR) {
            for (const std::int64_t back : taken) Registry::unlock(handle, back, true);
            return status;
        }
        if (!held) taken.push_back(id);
    }
    return B_NO_ERROR;
}

}  // namespace

int extendedReadOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    OpenFile& file = *handle->file;
    const bool alongKey = args.operation == B_GET_NEXT_EXTENDED || args.operation == B_GET_PREVIOUS_EXTENDED;
    const KeyDefinition* key = nullptr;
    if (alongKey) {
        if (const int status = keyToRead(*handle, args, key); status != B_NO_ERROR) return status;
        if (const int status = keyPosition(handle->cursor, args); status != B_NO_ERROR) return status;
    }
    ExtendedRequest request;
    if (const int status = parseExtendedRequest(args.dataBytes(), args.dataCapacity(), file.layout(), request);
        status != B_NO_ERROR)
        return status;
    const BatchRequest batch = batchFrom(handle->cursor, args, file.layout(), alongKey, request);

    // The records go straight into the caller's buffer, after the count.
    BatchAnswer& answer = handle->batch;
    answer.clear(std::span(args.dataBytes(), args.dataCapacity()).subspan(2));
    int status = B_END_OF_FILE;
    // A position left out of the key (an Insert of a record with a null key) has nothing beside it.
    if (!alongKey || !batch.value.null) status = file.readBatch(batch, answer);
    if (status != B_NO_ERROR && status != B_END_OF_FILE && status != B_REJECT_COUNT_REACHED) return status;
    if (const int locked = lockReturned(*handle, args, answer); locked != B_NO_ERROR) return locked;
    writeLittleEndian(args.dataBytes(), 2, answer.count);
    args.setDataLength(static_cast<std::uint32_t>(2 + answer.used));
    if (!answer.examined) return status;
    Cursor& cursor = handle->cursor;
    cursor.hasCurrent = false;
    cursor.lastRead.clear();
    cursor.skipDuplicates = false;
    cursor.recordId = answer.lastId;
    cursor.positioned = alongKey;
    if (alongKey) {
        cursor.keyValue = answer.lastValue;
        std::copy(answer.lastKey.begin(), answer.lastKey.end(), args.keyBytes());
    }
    return status;
}

}  // namespace wbtrv
