// What the journal costs. Each write (Insert, Update, Delete: one synced
// commit each) on a file whose journal is on, next to the same write with it
// switched off, on files or, when WBTRV32_SERVER names a server, there. And,
// on a journal of a million entries: one record's whole history, newest
// first (with the file open in the process, as grimstore reads it, and
// opened for each call), next to the same rows read straight with SQLite (or
// libpq on the server); on files the journal's status next to reading the first and last
// entries straight; and `grimstore history --record N` as a whole process
// next to `grimstore stat` of the same file.
#include "bench_files.h"
#include "operations.h"
#include "ratio_reporter.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
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

// The file's journal table on the server, filled as fileWithLongJournal
// fills a file's, then analysed as the server's autovacuum would after so
// many rows.
std::string serverFileWithLongJournal(const BenchFiles& files) {
    const std::string path = files.freshCopy(kRecords);
    const std::string name = std::filesystem::path(path).filename().string();
    const std::string sql =
        "DO $$ DECLARE n bigint := (SELECT id FROM wbtrv_files WHERE name = '" + name +
        "'); BEGIN EXECUTE format('INSERT INTO wbtrv_journal_%s(time, login_role, client_address, application_name,"
        " operation, record, before, after) SELECT 1700000000000000 + i, ''bench'', '''', ''journal_bench'', 3,"
        " i %% " +
        std::to_string(kRecords) + " + 1, b, b FROM generate_series(1, " + std::to_string(kEntries) +
        ") i, decode(repeat(''00'', " + std::to_string(kRecordLength) +
        "), ''hex'') b', n); EXECUTE format('ANALYZE wbtrv_journal_%s', n); END $$";
    PGconn* db = PQconnectdb(benchServer());
    PGresult* r = PQexec(db, sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    PQfinish(db);
    if (!ok) throw std::runtime_error("cannot fill the journal of " + name + " on the server");
    return path;
}

// A copy of the template whose journal holds a million updates more, a
// thousand per record: written straight into the journal's table, as a
// million synced writes would take hours.
std::string fileWithLongJournal(const BenchFiles& files) {
    if (benchServer()) return serverFileWithLongJournal(files);
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

// One record's history through BTRJOURNAL, as grimstore history --record reads
// it: with the file open in the process (held), or opened for each call.
void historyOurs(benchmark::State& state, const std::string& path, bool held) {
    std::optional<Ours> open;
    if (held && !open.emplace(path).ok()) return state.SkipWithError("cannot open the file");
    std::mt19937 rng(1);
    std::vector<client::JournalEntry> entries;
    client::JournalQuery query;
    for (auto _ : state) {
        query.record = std::uniform_int_distribution<int>(1, kRecords)(rng);
        if (client::readJournal(path, query, entries) != 0 || entries.size() < kEntries / kRecords)
            return state.SkipWithError("the history was not read");
    }
}

// The same rows straight from the server's journal table, with the record
// manager's statement, each copied out.
void historyServerFloor(benchmark::State& state, const std::string& path) {
    PGconn* db = PQconnectdb(benchServer());
    const std::string name = std::filesystem::path(path).filename().string();
    PGresult* r = PQexec(db, ("SELECT id FROM wbtrv_files WHERE name = '" + name + "'").c_str());
    const std::string table = PQntuples(r) == 1 ? std::string("wbtrv_journal_") + PQgetvalue(r, 0, 0) : "";
    PQclear(r);
    PQclear(PQprepare(db, "history",
                      ("SELECT seq, time, login_role, client_address, application_name, operation::bigint, record,"
                       " before, after FROM " +
                       table + " WHERE record = $1::bigint ORDER BY seq DESC")
                          .c_str(),
                      1, nullptr));
    std::mt19937 rng(1);
    std::vector<std::vector<std::uint8_t>> rows;
    for (auto _ : state) {
        rows.clear();
        const std::string record = std::to_string(std::uniform_int_distribution<int>(1, kRecords)(rng));
        const char* values[] = {record.c_str()};
        r = PQexecPrepared(db, "history", 1, values, nullptr, nullptr, 1);
        for (int row = 0; row < PQntuples(r); ++row) {
            auto& bytes = rows.emplace_back(static_cast<std::size_t>(PQgetlength(r, row, 7)));
            std::memcpy(bytes.data(), PQgetvalue(r, row, 7), bytes.size());
            benchmark::DoNotOptimize(PQgetvalue(r, row, 8));
        }
        PQclear(r);
        if (rows.size() < kEntries / kRecords) return state.SkipWithError("the history was not read");
    }
    PQfinish(db);
}

// The file opened read-only with SQLite and one statement prepared on it.
sqlite3_stmt* prepareOn(const std::string& path, const char* sql, sqlite3*& db) {
    sqlite3_stmt* st = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    return st;
}

// The same rows straight from SQLite, each copied out.
void historyFloor(benchmark::State& state, const std::string& path) {
    if (benchServer()) return historyServerFloor(state, path);
    sqlite3* db = nullptr;
    sqlite3_stmt* st = prepareOn(path,
                                 "SELECT seq, time, user, host, program, operation, record, before, after"
                                 " FROM journal_t WHERE record = ?1 ORDER BY seq DESC",
                                 db);
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

// The journal's status through BTRJOURNAL, which every journal command of grimstore reads first.
void statusOurs(benchmark::State& state, const std::string& path) {
    client::JournalState journal;
    for (auto _ : state)
        if (client::journalState(path, journal) != 0 || journal.lastSequence < kEntries)
            return state.SkipWithError("the status was not read");
}

// Its floor on files: opening the database and reading the first and last
// entries' numbers and times by the primary key, the least the status needs.
void statusFloor(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_stmt* st = prepareOn(path,
                                     "SELECT (SELECT seq FROM journal_t ORDER BY seq LIMIT 1), (SELECT seq FROM"
                                     " journal_t ORDER BY seq DESC LIMIT 1), (SELECT time FROM journal_t ORDER BY"
                                     " seq LIMIT 1), (SELECT time FROM journal_t ORDER BY seq DESC LIMIT 1)",
                                     db);
        const bool read = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int64(st, 1) >= kEntries;
        sqlite3_finalize(st);
        sqlite3_close(db);
        if (!read) return state.SkipWithError("the status was not read");
    }
}

// A whole grimstore process, its output thrown away.
void grimstore(benchmark::State& state, const std::string& arguments) {
    const std::string command = std::string(GRIMSTORE_PATH) + " " + arguments + " >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) return state.SkipWithError("grimstore failed");
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
    const std::string history = fileWithLongJournal(files);
    const std::string entries = "/" + std::to_string(kEntries);
    const std::string floor = benchServer() ? "/libpq" : "/sqlite";
    const std::string record = " --record " + std::to_string(kRecords / 2);
    for (const bool held : {true, false})
        benchmark::RegisterBenchmark(("History" + entries + (held ? "/ours" : "/unopened")).c_str(),
                                     [&history, held](benchmark::State& s) { historyOurs(s, history, held); })
            ->UseRealTime();
    benchmark::RegisterBenchmark(("History" + entries + floor).c_str(), [&history](benchmark::State& s) {
        historyFloor(s, history);
    })->UseRealTime();
    benchmark::RegisterBenchmark(("Status" + entries + "/ours").c_str(), [&history](benchmark::State& s) {
        statusOurs(s, history);
    })->UseRealTime();
    if (!benchServer())
        benchmark::RegisterBenchmark(("Status" + entries + floor).c_str(), [&history](benchmark::State& s) {
            statusFloor(s, history);
        })->UseRealTime();
    benchmark::RegisterBenchmark(("GrimstoreHistory" + entries + "/ours").c_str(), [&](benchmark::State& s) {
        grimstore(s, "history " + history + record);
    })->UseRealTime();
    benchmark::RegisterBenchmark(("GrimstoreHistory" + entries + "/stat").c_str(), [&](benchmark::State& s) {
        grimstore(s, "stat " + history);
    })->UseRealTime();
    // The floor of a write is the same write with the journal off; of a history, SQLite or libpq;
    // of grimstore history, grimstore stat.
    RatioReporter reporter("floor");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
