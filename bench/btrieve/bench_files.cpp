#include "bench_files.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>
#include <wbtrv32/create_spec.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace btrieve_bench {

const char* benchServer() {
    const char* server = std::getenv("WBTRV32_SERVER");
    return server && *server ? server : nullptr;
}

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

// Fills the file through the record manager, so it serves either engine, in
// transactions of 10,000 records: one commit per record would take minutes for
// 100,000, and a server holds a lock per record a transaction inserts.
void fill(const std::string& path, int records) {
    std::string name = path;
    char block[BTR_POSITION_BLOCK_SIZE] = {};
    const auto call = [&](std::uint16_t operation, void* data, std::uint32_t length) {
        return BTRCALL(operation, block, data, &length, name.data(), static_cast<std::uint8_t>(name.size() + 1), 0);
    };
    constexpr int kPerTransaction = 10000;
    bool ok = call(B_OPEN, nullptr, 0) == 0;
    for (int id = 1; id <= records && ok; ++id) {
        auto r = benchRecord(id);
        ok = (id % kPerTransaction != 1 || call(B_BEGIN_TRANSACTION, nullptr, 0) == 0) &&
             call(B_INSERT, r.data(), kRecordLength) == 0 &&
             ((id % kPerTransaction != 0 && id != records) || call(B_END_TRANSACTION, nullptr, 0) == 0);
    }
    call(B_CLOSE, nullptr, 0);
    if (!ok) throw std::runtime_error("cannot fill " + path);
}

}  // namespace

BenchFiles::BenchFiles(const std::vector<int>& sizes) : onServer_(benchServer() != nullptr) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/btrieve-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    dir_ = pattern;
    for (int records : sizes)
        for (bool named : {false, true}) {
            createEmpty(templatePath(records, named), named);
            fill(templatePath(records, named), records);
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
    // A file on a server cannot be copied as a file; the template serves every run,
    // growing by the records the write benchmarks add.
    if (onServer_) return templatePath(records, named);
    const std::string copy = (dir_ / "work.dat").string();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(copy + suffix);
    std::filesystem::copy_file(templatePath(records, named), copy);
    return copy;
}

}  // namespace btrieve_bench
