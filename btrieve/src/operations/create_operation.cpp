#include "core/create_buffer.h"
#include "operations/operations.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

// Key number -1 refuses an existing file (59); otherwise one that is there is
// replaced, unless it is open here or elsewhere (85).
int createOperation(Registry& registry, const CallArgs& args) {
    std::string path;
    if (!args.fileName(path)) return B_INVALID_FILE_NAME;
    path = registry.resolve(path);
    FileLayout layout;
    if (const int status = parseCreateBuffer(args.dataBytes(), args.dataCapacity(), layout); status != B_NO_ERROR)
        return status;
    Engine& engine = registry.engineFor(path);
    const bool replace = args.keyNumber != -1;
    if (FileIdentity identity; replace && engine.identify(path, identity) && registry.fileWithIdentity(identity))
        return B_FILE_IN_USE;
    return engine.create(path, layout, replace);
}

}  // namespace wbtrv
