// What the journal costs. Each write (Insert, Update, Delete: one synced
// commit each) on a file whose journal is on, next to the same write with it
// switched off, on files or, when WBTRV32_SERVER names a server, there; and,
// on files, one record's whole history, newest first, out of a journal of a
// million entries, next to the same rows read straight with SQLite.
#include "bench_files.h"
#include "operations.h"
#include "ratio_reporter.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace btrieve_bench {
namespace {

constexpr int kRecords = 1000;
constexpr int kEntries = 1000000;

void runWrite(benchmark::State& state, const BenchFiles& files, const Operation& operation, bool journalOn) {
    const std::string path = files.freshCopy(kRecords);
    if (client::switchJournal(path, journalOn) != 0) return state.SkipWithError("cannot switch the journal");
    Ours ours(path);
    if (!ours.ok()) return state.SkipWithError("cannot open the file");
    if (!operation.loop(state, ours, kRecords)) state.SkipWithError("a call failed");
}

// A copy of the template whose journal holds a million updates more, a
// thousand per record: written straight into the journal's table, as a
// million synced writes would take hours.
std::string fileWithLongJournal(const BenchFiles& files) {
    // A file of its own: the write benchmarks take fresh copies in the place freshCopy gives.
    const std::string path = std::filesystem::path(files.freshCopy(kRecords)).replace_filename("history.dat").string();
    std::filesystem::copy_file(files.freshCopy(kRecords), path);
    sqlite3* db = nullptr;
    const std::string sql = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                            std::to_string(kEntries) +
                            ") INSERT INTO journal_t(time, user, host, program, operation, record, before, after)"
                            " SELECT 1700000000000000 + i, 'bench', 'host', 'journal_bench', 3, i % " +
                            std::to_string(kRecords) + " + 1, zeroblob(" + std::to_string(kRecordLength) +
                            "), zeroblob(" + std::to_string(kRecordLength) + ") FROM n";
    const bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!ok) throw std::runtime_error("cannot fill the journal of " + path);
    return path;
}

// One record's history through BTRJOURNAL, as grimstore history --record reads it.
void historyOurs(benchmark::State& state, const std::string& path) {
    std::mt19937 rng(1);
    std::vector<client::JournalEntry> entries;
    client::JournalQuery query;
    for (auto _ : state) {
        query.record = std::uniform_int_distribution<int>(1, kRecords)(rng);
        if (client::readJournal(path, query, entries) != 0 || entries.size() < kEntries / kRecords)
            return state.SkipWithError("the history was not read");
    }
}

// The same rows straight from SQLite, each copied out.
void historyFloor(benchmark::State& state, const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_prepare_v2(db,
                       "SELECT seq, time, user, host, program, operation, record, before, after FROM journal_t"
                       " WHERE record = ?1 ORDER BY seq DESC",
                       -1, &st, nullptr);
    std::mt19937 rng(1);
    std::vector<std::vector<std::uint8_t>> rows;
    for (auto _ : state) {
        rows.clear();
        sqlite3_bind_int(st, 1, std::uniform_int_distribution<int>(1, kRecords)(rng));
        while (sqlite3_step(st) == SQLITE_ROW) {
            auto& row = rows.emplace_back(static_cast<std::size_t>(sqlite3_column_bytes(st, 7)));
            std::memcpy(row.data(), sqlite3_column_blob(st, 7), row.size());
            benchmark::DoNotOptimize(sqlite3_column_text(st, 2));
            benchmark::DoNotOptimize(sqlite3_column_blob(st, 8));
        }
        sqlite3_reset(st);
        if (rows.size() < kEntries / kRecords) return state.SkipWithError("the history was not read");
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

}  // namespace
}  // namespace btrieve_bench

int main(int argc, char** argv) {
    using namespace btrieve_bench;
    benchmark::Initialize(&argc, argv);
    const BenchFiles files({kRecords});
    for (const Operation& operation : operations()) {
        const std::string name = operation.name;
        if (name != "Insert" && name != "Update" && name != "Delete") continue;
        for (const bool on : {true, false})
            benchmark::RegisterBenchmark(
                (name + "/" + std::to_string(kRecords) + (on ? "/ours" : "/off")).c_str(),
                [&files, &operation, on](benchmark::State& s) { runWrite(s, files, operation, on); })
                ->UseRealTime();
    }
    std::string history;
    if (!benchServer()) {
        history = fileWithLongJournal(files);
        const std::string base = "History/" + std::to_string(kEntries);
        benchmark::RegisterBenchmark((base + "/ours").c_str(), [&history](benchmark::State& s) {
            historyOurs(s, history);
        })->UseRealTime();
        benchmark::RegisterBenchmark((base + "/sqlite").c_str(), [&history](benchmark::State& s) {
            historyFloor(s, history);
        })->UseRealTime();
    }
    // The floor of a write is the same write with the journal off; of a history, SQLite.
    RatioReporter reporter("floor");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
