// Opening any file. An input of up to 4 KiB is a list of schema edits made to
// a sound file of ours (byte damage of a whole file rarely reaches the
// values Open must check); a longer one is a whole data file (seeds are files
// of ours, sound and damaged). Open answers a status; on a file it accepts,
// every walk along every key ends within the file's record count, and verify
// answers.
#include "fuzz_support.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace fuzz;

namespace {

// Each edit is 11 bytes: column, row, kind of value, 8 bytes of value.
constexpr std::size_t kEditSize = 11;
const char* const kColumns[] = {
    "metadata_t SET record_length",
    "metadata_t SET page_length",
    "metadata_t SET variable_length_records",
    "metadata_t SET version",
    "keys_t SET number",
    "keys_t SET segment",
    "keys_t SET attributes",
    "keys_t SET data_type",
    "keys_t SET offset",
    "keys_t SET length",
    "keys_t SET null_value",
    "data_t SET data",
    "data_t SET key_0",
    "data_t SET key_1",
    "data_t SET key_2",
};

void applyEdits(const std::string& path, const uint8_t* data, size_t size) {
    expectCreated(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    for (size_t at = 0; at + kEditSize <= size; at += kEditSize) {
        const uint8_t* edit = data + at;
        const std::string sql =
            std::string("UPDATE ") + kColumns[edit[0] % std::size(kColumns)] + " = ?1 WHERE rowid = ?2";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) continue;
        std::int64_t value = 0;
        std::memcpy(&value, edit + 3, sizeof value);
        switch (edit[2] % 5) {
            case 0:
                sqlite3_bind_int64(st, 1, value % 256 == 0 ? value : value % 70000);
                break;
            case 1:
                sqlite3_bind_double(st, 1, static_cast<double>(value) * 1e280);
                break;
            case 2:
                sqlite3_bind_text(st, 1, reinterpret_cast<const char*>(edit + 3), 8, SQLITE_TRANSIENT);
                break;
            case 3:
                sqlite3_bind_blob(st, 1, edit + 3, edit[1] % 9, SQLITE_TRANSIENT);
                break;
            default:
                sqlite3_bind_null(st, 1);
        }
        sqlite3_bind_int64(st, 2, edit[1] % 4 + 1);
        sqlite3_step(st);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = scratchPath("input.dat");
    removeDataFile(path);
    if (size <= 4096) {
        applyEdits(path, data, size);
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
    char message[256];
    BTRVERIFY(path.c_str(), message, sizeof message);
    Block reset{};
    BTRCALL(B_RESET, reset.data(), nullptr, nullptr, nullptr, 0, 0);
    removeDataFile(path);
    return 0;
}
