#include "bench_files.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>
#include <wbtrv32/create_spec.h>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace btrieve_bench {

std::vector<std::uint8_t> benchRecord(std::int32_t id) {
    std::vector<std::uint8_t> r(kRecordLength);
    for (std::size_t i = 0; i < r.size(); ++i) r[i] = static_cast<std::uint8_t>('A' + i % 26);
    wbtrv::writeLittleEndian(r.data(), 4, static_cast<std::uint32_t>(id));
    const std::string name = benchName(id);
    std::copy(name.begin(), name.end(), r.begin() + kNameOffset);
    return r;
}

std::string benchName(std::int32_t id) {
    char name[kNameLength + 1];
    std::snprintf(name, sizeof name, "name%08d", static_cast<int>(id));
    return name;
}

namespace {

void createEmpty(const std::string& path, bool named) {
    wbtrv::CreateSpec file;
    file.recordLength = kRecordLength;
    file.keys = {{{1, 4, B_KEY_EXTENDED_TYPE, B_TYPE_AUTOINCREMENT}}};
    if (named)
        file.keys.push_back({{kNameOffset + 1, kNameLength, B_KEY_EXTENDED_TYPE | B_KEY_DUPLICATES, B_TYPE_STRING}});
    std::vector<std::uint8_t> spec = wbtrv::buildCreateBuffer(file);
    std::uint32_t length = static_cast<std::uint32_t>(spec.size());
    std::string name = path;
    char block[BTR_POSITION_BLOCK_SIZE] = {};
    if (BTRCALL(B_CREATE, block, spec.data(), &length, name.data(), static_cast<std::uint8_t>(name.size() + 1), 0) != 0)
        throw std::runtime_error("cannot create " + path);
}

// Fills the file in one transaction: building 100,000 records one commit each would take minutes.
// An ascending string key's stored value is its bytes as they are.
void fill(const std::string& path, int records, bool named) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       named ? "INSERT INTO data_t(data, key_0, key_1) VALUES(?1, ?2, ?3)"
                             : "INSERT INTO data_t(data, key_0) VALUES(?1, ?2)",
                       -1, &st, nullptr);
    for (int id = 1; id <= records; ++id) {
        const auto r = benchRecord(id);
        sqlite3_bind_blob(st, 1, r.data(), static_cast<int>(r.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 2, id);
        if (named) sqlite3_bind_blob(st, 3, r.data() + kNameOffset, kNameLength, SQLITE_TRANSIENT);
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
    for (int records : sizes)
        for (bool named : {false, true}) {
            createEmpty(templatePath(records, named), named);
            fill(templatePath(records, named), records, named);
        }
}

BenchFiles::~BenchFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string BenchFiles::templatePath(int records, bool named) const {
    return (dir_ / ((named ? "named-" : "template-") + std::to_string(records) + ".dat")).string();
}

std::string BenchFiles::freshCopy(int records, bool named) const {
    const std::string copy = (dir_ / "work.dat").string();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(copy + suffix);
    std::filesystem::copy_file(templatePath(records, named), copy);
    return copy;
}

}  // namespace btrieve_bench
