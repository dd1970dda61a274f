// Opening any file. An input of up to 4 KiB is a list of schema edits made to
// a sound file of ours (byte damage of a whole file rarely reaches the
// values Open must check); a longer one is a whole data file (seeds are files
// of ours, sound and damaged). Open answers a status; on a file it accepts,
// every walk along every key ends within the file's record count, and verify
// answers.
#include "fuzz_support.h"
#include "sql_edits.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace fuzz;

namespace {

// Each edit changes a column of a row.
std::vector<std::string> statements() {
    std::vector<std::string> out;
    for (const char* column :
         {"metadata_t SET record_length", "metadata_t SET page_length", "metadata_t SET variable_length_records",
          "metadata_t SET version", "keys_t SET number", "keys_t SET segment", "keys_t SET attributes",
          "keys_t SET data_type", "keys_t SET offset", "keys_t SET length", "keys_t SET null_value", "data_t SET data",
          "data_t SET key_0", "data_t SET key_1", "data_t SET key_2"})
        out.push_back(std::string("UPDATE ") + column + " = ?1 WHERE rowid = ?2");
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = scratchPath("input.dat");
    removeDataFile(path);
    if (size <= 4096) {
        static const std::vector<std::string> edits = statements();
        expectCreated(path);
        applySqlEdits(path, edits, data, size);
    } else if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    Block block{};
    if (open(block, path) == B_NO_ERROR) {
        Bytes stat(BTR_FILE_ENTRY_SIZE + 119 * BTR_KEY_ENTRY_SIZE), key(BTR_MAX_KEY_LENGTH);
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
    verifyAndRemove(path);
    return 0;
}
