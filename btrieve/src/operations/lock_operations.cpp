// Record locks taken by the lock biases of the reads, and Unlock.
#include "operations/operations.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

int lockRead(Handle& handle, const CallArgs& args, std::int64_t id) {
    if (!args.lockBias) return B_NO_ERROR;
    const bool multiple = args.lockBias >= B_MULTIPLE_WAIT_LOCK;
    const bool wait = args.lockBias == B_SINGLE_WAIT_LOCK || args.lockBias == B_MULTIPLE_WAIT_LOCK;
    if (multiple ? handle.singleLock.has_value() : !handle.multipleLocks.empty()) return B_INCOMPATIBLE_LOCK;
    if (multiple ? handle.multipleLocks.contains(id) : handle.singleLock == id) return B_NO_ERROR;
    if (const int status = handle.file->lockRecord(id, wait); status != B_NO_ERROR) return status;
    if (multiple) {
        handle.multipleLocks.insert(id);
    } else {
        // A single lock moves on with the block's next single-lock read.
        if (handle.singleLock) handle.file->releaseRecord(*handle.singleLock);
        handle.singleLock = id;
    }
    return B_NO_ERROR;
}

// Key number >= 0 releases the single lock; -1 the multiple lock on the
// position in the data buffer; -2 every multiple lock. 81 for a lock the
// block does not hold.
int unlockOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    if (args.keyNumber >= 0) {
        if (!handle->singleLock) return B_LOCK_ERROR;
        Registry::unlock(*handle, *handle->singleLock, false);
        return B_NO_ERROR;
    }
    if (args.keyNumber == -2) {
        if (handle->singleLock) return B_LOCK_ERROR;
        Registry::unlock(*handle);
        return B_NO_ERROR;
    }
    if (args.keyNumber != -1) return B_LOCK_ERROR;
    if (args.dataCapacity() < kPositionLength) return B_DATA_BUFFER_TOO_SHORT;
    const std::int64_t id = readPosition(args.dataBytes());
    if (!handle->multipleLocks.contains(id)) return B_LOCK_ERROR;
    Registry::unlock(*handle, id, true);
    return B_NO_ERROR;
}

}  // namespace wbtrv
