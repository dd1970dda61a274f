// BTRVERIFY: checks a data file without changing it, on whichever engine keeps it.
#include "operations/registry.h"
#include "server/server_message.h"

#include <wbtrv32/btrieve.h>

extern "C" BTR_EXPORT int16_t BTR_CALLCONV BTRVERIFY(const char* fileName, char* message, uint32_t messageLength) {
    using namespace wbtrv;
    const ServerMessageCall call;
    std::string why;
    int status = B_INVALID_FILE_NAME;
    try {
        if (fileName && *fileName) {
            // Under the registry's lock: no descriptor of ours opens or closes
            // on a file while another thread is using it.
            Registry& registry = Registry::instance();
            std::lock_guard lock(registry.mutex());
            registry.leaveParentState();
            const std::string path = registry.resolve(fileName);
            status = registry.engineFor(path).verify(path, why);
        } else {
            why = "no file name";
        }
    } catch (...) {
        status = B_IO_ERROR;
        why = "out of memory";
    }
    writeBoundedText(why, message, messageLength);
    return static_cast<int16_t>(call.finish(status));
}
