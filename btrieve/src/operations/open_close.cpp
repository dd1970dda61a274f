#include "operations/operations.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

int openOperation(Registry& registry, const CallArgs& args) {
    std::string path;
    if (!args.fileName(path)) return B_INVALID_FILE_NAME;
    switch (args.keyNumber) {
        case B_MODE_NORMAL:
        case B_MODE_ACCELERATED:
        case B_MODE_VERIFY:
        case B_MODE_READ_ONLY:
        case B_MODE_EXCLUSIVE:
            break;
        default:
            return B_INCOMPATIBLE_MODE;
    }
    if (!args.block) return B_FILE_NOT_OPEN;
    // Reopening a block closes it first, which a file changed in the open transaction refuses.
    if (const Handle* handle = registry.handleOf(args.block); handle && handle->file->changedInTransaction())
        return B_OPERATION_NOT_ALLOWED;
    return registry.open(registry.resolve(path), args.keyNumber, args.block, args.dataText());
}

int closeOperation(Registry& registry, const CallArgs& args) {
    const Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    // Its changes belong to the transaction, which must end first.
    if (handle->file->changedInTransaction()) return B_OPERATION_NOT_ALLOWED;
    registry.close(args.block);
    return B_NO_ERROR;
}

int stopOperation(Registry& registry, const CallArgs&) {
    registry.closeAll();
    return B_NO_ERROR;
}

int transactionOperation(Registry& registry, const CallArgs& args) {
    switch (args.operation) {
        case B_BEGIN_TRANSACTION:
        case B_BEGIN_CONCURRENT_TRANSACTION:
            return registry.beginTransaction();
        default:
            return registry.endTransaction(args.operation == B_END_TRANSACTION);
    }
}

}  // namespace wbtrv
