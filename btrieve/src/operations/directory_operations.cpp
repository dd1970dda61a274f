// Set Directory and Get Directory: the record manager's own current
// directory, which relative file names resolve against. The process's
// working directory is never changed: other parts of the program rely on it.
#include "operations/operations.h"

#include <wbtrv32/btrieve.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace wbtrv {

int setDirectoryOperation(Registry& registry, const CallArgs& args) {
    std::string path;
    if (!args.fileName(path)) return B_INVALID_FILE_NAME;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::canonical(registry.resolve(path), error);
    if (error || !std::filesystem::is_directory(absolute, error) || ::access(absolute.c_str(), X_OK) != 0)
        return B_DIRECTORY_ERROR;
    registry.setDirectory(absolute.string());
    return B_NO_ERROR;
}

int getDirectoryOperation(Registry& registry, const CallArgs& args) {
    std::string current = registry.directory();
    if (current.empty()) {
        std::error_code error;
        current = std::filesystem::current_path(error).string();
        if (error) return B_DIRECTORY_ERROR;
    }
    if (args.keyCapacity() < current.size() + 1) return B_KEY_BUFFER_TOO_SHORT;
    std::copy(current.begin(), current.end(), args.keyBytes());
    args.keyBytes()[current.size()] = 0;
    return B_NO_ERROR;
}

}  // namespace wbtrv
