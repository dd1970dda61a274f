// grimstore load of 100,000 records of 126 bytes into a fresh data file,
// against SQLite's own shell running the same rows as one transaction of
// INSERT statements into a fresh copy of the same empty file (same schema and
// indexes, WAL, synchronous FULL). Both are whole processes timed from the
// outside; each side runs several times and the medians are compared.
#include "bench_files.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace btrieve_bench {
namespace {

constexpr int kRecords = 100000;
constexpr int kRuns = 5;

// The sequential file grimstore loads and the SQL script the shell runs, with the same records.
void writeInputs(const std::string& sequential, const std::string& script) {
    std::ofstream seq(sequential, std::ios::binary), sql(script);
    sql << "PRAGMA synchronous=FULL;\nBEGIN;\n";
    static const char hex[] = "0123456789abcdef";
    for (int id = 1; id <= kRecords; ++id) {
        const auto r = benchRecord(id);
        seq << r.size() << ',';
        seq.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(r.size()));
        seq << "\r\n";
        std::string blob;
        for (std::uint8_t b : r) (blob += hex[b >> 4]) += hex[b & 15];
        sql << "INSERT INTO data_t(data, key_0) VALUES(x'" << blob << "', " << id << ");\n";
    }
    seq << '\x1a';
    sql << "COMMIT;\n";
}

int recordCount(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    int n = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT count(*) FROM data_t", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
}

// Seconds the command takes, or a negative value when it fails or loads the wrong count.
double timed(const std::string& command, const std::string& file) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return status == 0 && recordCount(file) == kRecords ? took.count() : -1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace
}  // namespace btrieve_bench

int main() {
    using namespace btrieve_bench;
    const BenchFiles files({0});
    const std::string dir = std::filesystem::path(files.freshCopy(0)).parent_path().string();
    const std::string sequential = dir + "/records.seq", script = dir + "/records.sql";
    writeInputs(sequential, script);
    std::vector<double> ours, shell;
    for (int run = 0; run < kRuns; ++run) {
        std::string file = files.freshCopy(0);
        ours.push_back(
            timed(std::string(GRIMSTORE_PATH) + " load '" + file + "' '" + sequential + "' >/dev/null", file));
        file = files.freshCopy(0);
        shell.push_back(timed("sqlite3 '" + file + "' <'" + script + "' >/dev/null", file));
        if (ours.back() < 0 || shell.back() < 0) {
            std::fprintf(stderr, "run %d failed (ours %.3f s, shell %.3f s)\n", run + 1, ours.back(), shell.back());
            return 1;
        }
    }
    const double a = median(ours), b = median(shell);
    std::printf("| load of %d records of %d bytes | grimstore %.3f s | sqlite3 shell %.3f s | ratio %.2f |\n", kRecords,
                kRecordLength, a, b, a / b);
    return 0;
}
