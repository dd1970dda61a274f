// The exported entry point: checks the operation code and hands the call to
// its operation under the process-wide lock.
#include "operations/operations.h"
#include "server/server_message.h"

#include <wbtrv32/btrieve.h>

#include <new>

namespace wbtrv {
namespace {

using Operation = int (*)(Registry&, const CallArgs&);

Operation operationFor(std::uint16_t code) {
    switch (code) {
        case B_OPEN:
            return openOperation;
        case B_CLOSE:
            return closeOperation;
        case B_INSERT:
            return insertOperation;
        case B_UPDATE:
            return updateOperation;
        case B_DELETE:
            return deleteOperation;
        case B_GET_EQUAL:
        case B_GET_NEXT:
        case B_GET_PREVIOUS:
        case B_GET_GREATER:
        case B_GET_GREATER_OR_EQUAL:
        case B_GET_LESS:
        case B_GET_LESS_OR_EQUAL:
        case B_GET_FIRST:
        case B_GET_LAST:
            return getOperation;
        case B_STEP_FIRST:
        case B_STEP_LAST:
        case B_STEP_NEXT:
        case B_STEP_PREVIOUS:
            return stepOperation;
        case B_GET_NEXT_EXTENDED:
        case B_GET_PREVIOUS_EXTENDED:
        case B_STEP_NEXT_EXTENDED:
        case B_STEP_PREVIOUS_EXTENDED:
            return extendedReadOperation;
        case B_INSERT_EXTENDED:
            return insertExtendedOperation;
        case B_GET_POSITION:
            return getPositionOperation;
        case B_GET_DIRECT:
            return getDirectOperation;
        case B_CREATE:
            return createOperation;
        case B_STAT:
            return statOperation;
        case B_SET_OWNER:
            return setOwnerOperation;
        case B_CLEAR_OWNER:
            return clearOwnerOperation;
        case B_CREATE_INDEX:
            return createIndexOperation;
        case B_DROP_INDEX:
            return dropIndexOperation;
        case B_GET_BY_PERCENTAGE:
            return getByPercentageOperation;
        case B_FIND_PERCENTAGE:
            return findPercentageOperation;
        case B_SET_DIRECTORY:
            return setDirectoryOperation;
        case B_GET_DIRECTORY:
            return getDirectoryOperation;
        case B_VERSION:
            return versionOperation;
        case B_UNLOCK:
            return unlockOperation;
        case B_STOP:
        case B_RESET:
            return stopOperation;
        case B_BEGIN_TRANSACTION:
        case B_BEGIN_CONCURRENT_TRANSACTION:
        case B_END_TRANSACTION:
        case B_ABORT_TRANSACTION:
            return transactionOperation;
        default:
            return nullptr;
    }
}

bool isGet(std::uint16_t code) { return code >= B_GET_EQUAL && code <= B_GET_LAST; }
bool takesLock(std::uint16_t code) {
    return isGet(code) || code == B_GET_DIRECT || code == B_GET_BY_PERCENTAGE || code == B_STEP_NEXT ||
           (code >= B_STEP_FIRST && code <= B_STEP_PREVIOUS) ||
           (code >= B_GET_NEXT_EXTENDED && code <= B_STEP_PREVIOUS_EXTENDED);
}

// Splits a code into its operation and biases; false for a code that names
// no operation of ours.
bool decode(std::uint16_t code, CallArgs& args) {
    int lock = 0;
    std::uint16_t base = code;
    if (code >= B_BEGIN_CONCURRENT_TRANSACTION) {
        lock = code - B_BEGIN_CONCURRENT_TRANSACTION;
        base = B_BEGIN_CONCURRENT_TRANSACTION;
    } else if (code >= B_SINGLE_WAIT_LOCK) {
        lock = code / 100 * 100;
        base = code % 100;
    }
    if (base >= B_GET_EQUAL + B_GET_KEY_BIAS && base <= B_GET_LAST + B_GET_KEY_BIAS) {
        base -= B_GET_KEY_BIAS;
        args.keyOnly = true;
    }
    args.operation = base;
    if (lock % 100 != 0) return false;
    // The default lock of a transaction's reads is accepted and not applied.
    if (base == B_BEGIN_TRANSACTION || base == B_BEGIN_CONCURRENT_TRANSACTION)
        return lock <= B_MULTIPLE_NOWAIT_LOCK + 100;
    if (lock > B_MULTIPLE_NOWAIT_LOCK || (lock && (args.keyOnly || !takesLock(base)))) return false;
    args.lockBias = lock;
    return true;
}

}  // namespace
}  // namespace wbtrv

extern "C" BTR_EXPORT int16_t BTR_CALLCONV BTRCALL(uint16_t operation, void* positionBlock, void* dataBuffer,
                                                   uint32_t* dataLength, void* keyBuffer, uint8_t keyLength,
                                                   int8_t keyNumber) {
    using namespace wbtrv;
    const ServerMessageCall call;
    CallArgs args;
    const Operation run = decode(operation, args) ? operationFor(args.operation) : nullptr;
    if (!run) return B_INVALID_OPERATION;
    args.block = positionBlock;
    args.data = dataBuffer;
    args.dataLength = dataLength;
    args.key = keyBuffer;
    args.keyLength = keyLength;
    args.keyNumber = keyNumber;
    // Errors cross this boundary as status codes only.
    try {
        Registry& registry = Registry::instance();
        std::lock_guard lock(registry.mutex());
        registry.leaveParentState();
        return static_cast<int16_t>(call.finish(run(registry, args)));
    } catch (const std::bad_alloc&) {
        return B_DISK_FULL;
    } catch (...) {
        return B_IO_ERROR;
    }
}
