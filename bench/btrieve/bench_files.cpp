#include "bench_files.h"

#include <wbtrv32/btrieve.h>

#include <sqlite3.h>

#include <cstdlib>
#include <stdexcept>

namespace btrieve_bench {

std::vector<std::uint8_t> benchRecord(std::int32_t id) {
    std::vector<std::uint8_t> r(kRecordLength);
    for (std::size_t i = 0; i < r.size(); ++i) r[i] = static_cast<std::uint8_t>('A' + i % 26);
    for (int i = 0; i < 4; ++i)
        r[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(id) >> (8 * i));
    return r;
}

namespace {

void createEmpty(const std::string& path) {
    std::vector<std::uint8_t> spec(BTR_FILE_SPEC_SIZE + BTR_KEY_SPEC_SIZE, 0);
    spec[0] = kRecordLength;
    spec[3] = 4096 >> 8;
    spec[4] = 1;
    spec[16] = 1;                         // position 1
    spec[18] = 4;                         // length 4
    spec[21] = B_KEY_EXTENDED_TYPE >> 8;  // flags
    spec[26] = B_TYPE_AUTOINCREMENT;
    std::uint32_t length = static_cast<std::uint32_t>(spec.size());
    std::string name = path;
    char block[BTR_POSITION_BLOCK_SIZE] = {};
    if (BTRCALL(B_CREATE, block, spec.data(), &length, name.data(), static_cast<std::uint8_t>(name.size() + 1), 0) != 0)
        throw std::runtime_error("cannot create " + path);
}

// Fills the file in one transaction: building 100,000 records one commit each would take minutes.
void fill(const std::string& path, int records) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO data_t(data, key_0) VALUES(?1, ?2)", -1, &st, nullptr);
    for (int id = 1; id <= records; ++id) {
        const auto r = benchRecord(id);
        sqlite3_bind_blob(st, 1, r.data(), static_cast<int>(r.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 2, id);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot fill " + path);
}

}  // namespace

BenchFiles::BenchFiles(const std::vector<int>& sizes) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/btrieve-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    dir_ = pattern;
    for (int records : sizes) {
        createEmpty(templatePath(records));
        fill(templatePath(records), records);
    }
}

BenchFiles::~BenchFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string BenchFiles::templatePath(int records) const {
    return (dir_ / ("template-" + std::to_string(records) + ".dat")).string();
}

std::string BenchFiles::freshCopy(int records) const {
    const std::string copy = (dir_ / "work.dat").string();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(copy + suffix);
    std::filesystem::copy_file(templatePath(records), copy);
    return copy;
}

}  // namespace btrieve_bench
