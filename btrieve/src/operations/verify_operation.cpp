// BTRVERIFY: checks a data file without changing it, on whichever engine keeps it.
#include "operations/registry.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>
#include <cstring>

extern "C" BTR_EXPORT int16_t BTR_CALLCONV BTRVERIFY(const char* fileName, char* message, uint32_t messageLength) {
    using namespace wbtrv;
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
    if (message && messageLength > 0) {
        const std::size_t n = std::min<std::size_t>(why.size(), messageLength - 1);
        std::memcpy(message, why.data(), n);
        message[n] = '\0';
    }
    return static_cast<int16_t>(status);
}
