// The exported entry point: checks the operation code and hands the call to
// its operation under the process-wide lock.
#include "operations.h"

#include <wbtrv32/btrieve.h>

#include <new>

namespace wbtrv {
namespace {

using Operation = int (*)(Engine&, const CallArgs&);

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
        case B_GET_FIRST:
        case B_GET_LAST:
            return getOperation;
        case B_CREATE:
            return createOperation;
        case B_STAT:
            return statOperation;
        case B_STOP:
        case B_RESET:
            return stopOperation;
        default:
            return nullptr;
    }
}

}  // namespace
}  // namespace wbtrv

extern "C" BTR_EXPORT int16_t BTR_CALLCONV BTRCALL(uint16_t operation, void* positionBlock, void* dataBuffer,
                                                   uint32_t* dataLength, void* keyBuffer, uint8_t keyLength,
                                                   int8_t keyNumber) {
    using namespace wbtrv;
    const Operation run = operationFor(operation);
    if (!run) return B_INVALID_OPERATION;
    const CallArgs args{operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber};
    // Errors cross this boundary as status codes only.
    try {
        Engine& engine = Engine::instance();
        std::lock_guard lock(engine.mutex());
        engine.leaveParentState();
        return static_cast<int16_t>(run(engine, args));
    } catch (const std::bad_alloc&) {
        return B_DISK_FULL;
    } catch (...) {
        return B_IO_ERROR;
    }
}
