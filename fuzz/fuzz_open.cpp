// Opening any file: the input is a whole data file (seeds are files of ours,
// sound and damaged). Open answers a status; on a file it accepts, every walk
// along every key ends within the file's record count, and verify answers.
#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = scratchPath("input.dat");
    removeDataFile(path);
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    Block block{};
    if (open(block, path) == B_NO_ERROR) {
        Bytes stat(BTR_FILE_SPEC_SIZE + 119 * BTR_KEY_SPEC_SIZE), key(BTR_MAX_KEY_LENGTH);
        if (call(B_STAT, block, stat, key, 0) == B_NO_ERROR) {
            const std::int64_t records = getInt(stat, 6, 4), keys = getInt(stat, 4, 2);
            for (std::int8_t k = 0; k < keys; ++k) {
                for (const auto& [first, next] : {std::pair{B_GET_FIRST, B_GET_NEXT}, {B_GET_LAST, B_GET_PREVIOUS}}) {
                    Bytes record(getInt(stat, 0, 2));
                    std::int64_t steps = 0;
                    for (std::int16_t s = call(first, block, record, key, k); s == B_NO_ERROR;
                         s = call(next, block, record, key, k))
                        if (++steps > records) std::abort();  // a walk that does not end
                }
            }
        }
        call(B_CLOSE, block, key, key, 0);
    }
    char message[256];
    BTRVERIFY(path.c_str(), message, sizeof message);
    Block reset{};
    BTRCALL(B_RESET, reset.data(), nullptr, nullptr, nullptr, 0, 0);
    removeDataFile(path);
    return 0;
}
