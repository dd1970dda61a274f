#include "operations.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

int openOperation(Engine& engine, const CallArgs& args) {
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
    return engine.open(path, args.keyNumber, args.block);
}

int closeOperation(Engine& engine, const CallArgs& args) {
    if (!engine.handleOf(args.block)) return B_FILE_NOT_OPEN;
    engine.close(args.block);
    return B_NO_ERROR;
}

int stopOperation(Engine& engine, const CallArgs&) {
    engine.closeAll();
    return B_NO_ERROR;
}

}  // namespace wbtrv
