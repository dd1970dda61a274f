#include "bench_files.h"

#include <wbtrv32/bytes.h>
#include <wbtrv32/client.h>

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

namespace client = wbtrv::client;

void createEmpty(const std::string& path, bool named) {
    wbtrv::CreateEntries file;
    file.recordLength = kRecordLength;
    file.keys = {{{1, 4, B_KEY_EXTENDED_TYPE, B_TYPE_AUTOINCREMENT}}};
    if (named)
        file.keys.push_back({{kNameOffset + 1, kNameLength, B_KEY_EXTENDED_TYPE | B_KEY_DUPLICATES, B_TYPE_STRING}});
    if (client::create(path, file, client::IfExists::Replace) != 0) throw std::runtime_error("cannot create " + path);
}

// Fills the file through the record manager, so it serves either engine, in
// transactions of 10,000 records: one commit per record would take minutes for
// 100,000, and a server holds a lock per record a transaction inserts.
void fill(const std::string& path, int records) {
    constexpr int kPerTransaction = 10000;
    client::File file;
    bool ok = file.open(path) == 0;
    for (int id = 1; id <= records && ok; ++id) {
        auto r = benchRecord(id);
        ok = (id % kPerTransaction != 1 || client::beginTransaction() == 0) && file.insert(r) == 0 &&
             ((id % kPerTransaction != 0 && id != records) || client::endTransaction() == 0);
    }
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
