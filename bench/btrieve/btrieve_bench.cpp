// Record operations through BTRCALL and, as the floor, raw SQLite doing the
// same work on a copy of the same file with the same settings (synchronous
// FULL, the file's WAL journal, the same page cache size, prepared statements).
#include "bench_files.h"
#include "ratio_reporter.h"

#include <wbtrv32/btrieve.h>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

namespace btrieve_bench {
namespace {

// One way of reaching the records; every call returns false on failure or end of file.
class Driver {
public:
    virtual ~Driver() = default;
    virtual bool first() = 0;
    virtual bool last() = 0;
    virtual bool next() = 0;
    virtual bool previous() = 0;
    virtual bool equal(std::int32_t key) = 0;
    virtual bool equalName(std::int32_t id) = 0;  // along the string key 1 of a named file
    virtual bool greater(std::int32_t key) = 0;
    virtual bool stepFirst() = 0;
    virtual bool stepNext() = 0;
    virtual bool begin() = 0;  // a transaction
    virtual bool end() = 0;
    virtual bool insert() = 0;
    virtual bool update() = 0;  // the current record
    virtual bool remove() = 0;  // the current record
};

class Ours : public Driver {
public:
    Ours(const std::string& path, bool) {
        std::string name = path;
        std::memcpy(key_, name.c_str(), name.size() + 1);
        ok_ = BTRCALL(B_OPEN, block_, nullptr, nullptr, key_, sizeof key_, 0) == 0;
    }
    ~Ours() override { BTRCALL(B_CLOSE, block_, nullptr, nullptr, nullptr, 0, 0); }
    bool ok() const { return ok_; }
    bool first() override { return call(B_GET_FIRST); }
    bool last() override { return call(B_GET_LAST); }
    bool next() override { return call(B_GET_NEXT); }
    bool previous() override { return call(B_GET_PREVIOUS); }
    bool equal(std::int32_t key) override {
        std::memcpy(key_, &key, sizeof key);
        return call(B_GET_EQUAL);
    }
    bool equalName(std::int32_t id) override {
        const std::string name = benchName(id);
        std::memcpy(key_, name.data(), name.size());
        return call(B_GET_EQUAL, 1);
    }
    bool greater(std::int32_t key) override {
        std::memcpy(key_, &key, sizeof key);
        return call(B_GET_GREATER);
    }
    bool stepFirst() override { return call(B_STEP_FIRST); }
    bool stepNext() override { return call(B_STEP_NEXT); }
    bool begin() override { return call(B_BEGIN_TRANSACTION); }
    bool end() override { return call(B_END_TRANSACTION); }
    bool insert() override {
        record_ = benchRecord(0);
        return call(B_INSERT);
    }
    bool update() override {
        ++record_[10];
        return call(B_UPDATE);
    }
    bool remove() override { return call(B_DELETE); }

private:
    bool call(std::uint16_t op, std::int8_t keyNumber = 0) {
        std::uint32_t length = kRecordLength;
        return BTRCALL(op, block_, record_.data(), &length, key_, sizeof key_, keyNumber) == 0;
    }
    char block_[BTR_POSITION_BLOCK_SIZE] = {};
    char key_[BTR_MAX_KEY_LENGTH] = {};
    std::vector<std::uint8_t> record_ = benchRecord(0);
    bool ok_ = false;
};

class Floor : public Driver {
public:
    Floor(const std::string& path, bool named) {
        ok_ = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK &&
              sqlite3_exec(db_, "PRAGMA synchronous=FULL; PRAGMA cache_size=-16384", nullptr, nullptr, nullptr) ==
                  SQLITE_OK;
        sqlite3_busy_timeout(db_, 1000);
        const char* sql[] = {
            "SELECT id, data, key_0 FROM data_t ORDER BY key_0 LIMIT 1",
            "SELECT id, data, key_0 FROM data_t ORDER BY key_0 DESC LIMIT 1",
            "SELECT id, data, key_0 FROM data_t WHERE key_0 > ?1 ORDER BY key_0 LIMIT 1",
            "SELECT id, data, key_0 FROM data_t WHERE key_0 < ?1 ORDER BY key_0 DESC LIMIT 1",
            "SELECT id, data, key_0 FROM data_t WHERE key_0 = ?1",
            "BEGIN IMMEDIATE",
            "SELECT max(key_0) FROM data_t",
            "INSERT INTO data_t(data, key_0) VALUES(?1, ?2)",
            "COMMIT",
            "UPDATE data_t SET data = ?1, key_0 = ?2 WHERE id = ?3",
            "DELETE FROM data_t WHERE id = ?1",
            named ? "SELECT id, data, key_0 FROM data_t WHERE key_1 = ?1 ORDER BY id LIMIT 1" : "SELECT 1",
            "SELECT id, data, key_0 FROM data_t WHERE id > ?1 ORDER BY id LIMIT 1",
        };
        for (std::size_t i = 0; i < std::size(sql); ++i)
            ok_ = ok_ && sqlite3_prepare_v3(db_, sql[i], -1, SQLITE_PREPARE_PERSISTENT, &st_[i], nullptr) == SQLITE_OK;
    }
    ~Floor() override {
        for (sqlite3_stmt* s : st_) sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    bool ok() const { return ok_; }
    bool first() override { return read(st_[First], false); }
    bool last() override { return read(st_[Last], false); }
    bool next() override { return read(st_[Next], true); }
    bool previous() override { return read(st_[Previous], true); }
    bool equal(std::int32_t key) override {
        key_ = key;
        return read(st_[Equal], true);
    }
    bool equalName(std::int32_t id) override {
        const std::string name = benchName(id);
        sqlite3_bind_blob(st_[EqualName], 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        return read(st_[EqualName], false);
    }
    bool greater(std::int32_t key) override {
        key_ = key;
        return read(st_[Next], true);
    }
    bool stepFirst() override {
        id_ = 0;
        return stepNext();
    }
    bool stepNext() override {
        sqlite3_bind_int64(st_[Step], 1, id_);
        return read(st_[Step], false);
    }
    bool begin() override { return inTransaction_ = done(st_[Begin]); }
    bool end() override {
        inTransaction_ = false;
        return done(st_[Commit]);
    }
    bool insert() override {
        record_ = benchRecord(0);
        if (!inTransaction_ && !done(st_[Begin])) return false;
        sqlite3_step(st_[Max]);
        const std::int64_t key = sqlite3_column_int64(st_[Max], 0) + 1;
        sqlite3_reset(st_[Max]);
        std::memcpy(record_.data(), &key, 4);
        sqlite3_bind_blob(st_[Insert], 1, record_.data(), kRecordLength, SQLITE_STATIC);
        sqlite3_bind_int64(st_[Insert], 2, key);
        const bool inserted = done(st_[Insert]);
        id_ = sqlite3_last_insert_rowid(db_);
        key_ = key;
        return (inTransaction_ || done(st_[Commit])) && inserted;
    }
    bool update() override {
        ++record_[10];
        sqlite3_bind_blob(st_[Update], 1, record_.data(), kRecordLength, SQLITE_STATIC);
        sqlite3_bind_int64(st_[Update], 2, key_);
        sqlite3_bind_int64(st_[Update], 3, id_);
        return done(st_[Update]);
    }
    bool remove() override {
        sqlite3_bind_int64(st_[Delete], 1, id_);
        return done(st_[Delete]);
    }

private:
    enum { First, Last, Next, Previous, Equal, Begin, Max, Insert, Commit, Update, Delete, EqualName, Step, Count };
    bool done(sqlite3_stmt* s) {
        const bool ok = sqlite3_step(s) == SQLITE_DONE;
        sqlite3_reset(s);
        return ok;
    }
    bool read(sqlite3_stmt* s, bool bindKey) {
        if (bindKey) sqlite3_bind_int64(s, 1, key_);
        const bool found = sqlite3_step(s) == SQLITE_ROW;
        if (found) {
            id_ = sqlite3_column_int64(s, 0);
            std::memcpy(record_.data(), sqlite3_column_blob(s, 1), kRecordLength);
            key_ = sqlite3_column_int64(s, 2);
        }
        sqlite3_reset(s);
        return found;
    }
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_[Count] = {};
    std::vector<std::uint8_t> record_ = benchRecord(0);
    std::int64_t id_ = 0;
    std::int64_t key_ = 0;
    bool inTransaction_ = false;
    bool ok_ = false;
};

using Loop = std::function<bool(benchmark::State&, Driver&, int records)>;

struct Operation {
    const char* name;
    Loop loop;
    bool named = false;  // runs on files with the string key 1
};

// Times `step` once per iteration; false as soon as a call fails.
template <class Step>
bool repeat(benchmark::State& s, Step step) {
    for (auto _ : s)
        if (!step()) return false;
    return true;
}

// The timed loop of each operation, shared by both drivers.
const std::vector<Operation>& operations() {
    static const std::vector<Operation> all = {
        {"GetFirst", [](benchmark::State& s, Driver& d, int) { return repeat(s, [&] { return d.first(); }); }},
        {"GetNext",
         [](benchmark::State& s, Driver& d, int) {
             d.first();
             return repeat(s, [&] { return d.next() || d.first(); });
         }},
        {"GetPrevious",
         [](benchmark::State& s, Driver& d, int) {
             d.last();
             return repeat(s, [&] { return d.previous() || d.last(); });
         }},
        {"GetEqual",
         [](benchmark::State& s, Driver& d, int records) {
             std::mt19937 rng(1);
             std::uniform_int_distribution<std::int32_t> pick(1, records);
             return repeat(s, [&] { return d.equal(pick(rng)); });
         }},
        {"GetEqualString",
         [](benchmark::State& s, Driver& d, int records) {
             std::mt19937 rng(1);
             std::uniform_int_distribution<std::int32_t> pick(1, records);
             return repeat(s, [&] { return d.equalName(pick(rng)); });
         },
         true},
        {"GetGreater",
         [](benchmark::State& s, Driver& d, int records) {
             std::mt19937 rng(1);
             std::uniform_int_distribution<std::int32_t> pick(0, records - 1);
             return repeat(s, [&] { return d.greater(pick(rng)); });
         }},
        {"StepNext",
         [](benchmark::State& s, Driver& d, int) {
             d.stepFirst();
             return repeat(s, [&] { return d.stepNext() || d.stepFirst(); });
         }},
        {"Insert", [](benchmark::State& s, Driver& d, int) { return repeat(s, [&] { return d.insert(); }); }},
        {"Insert1000InTransaction",
         [](benchmark::State& s, Driver& d, int) {
             return repeat(s, [&] {
                 bool ok = d.begin();
                 for (int i = 0; i < 1000 && ok; ++i) ok = d.insert();
                 return d.end() && ok;
             });
         }},
        {"Update",
         [](benchmark::State& s, Driver& d, int) {
             d.first();
             return repeat(s, [&] { return d.update(); });
         }},
        {"Delete",
         [](benchmark::State& s, Driver& d, int) {
             // The record to delete is inserted outside the timed part.
             return repeat(s, [&] {
                 s.PauseTiming();
                 const bool inserted = d.insert();
                 s.ResumeTiming();
                 return inserted && d.remove();
             });
         }},
    };
    return all;
}

template <class D>
void run(benchmark::State& state, const BenchFiles& files, const Operation& operation, int records) {
    const std::string path = files.freshCopy(records, operation.named);
    auto driver = std::make_unique<D>(path, operation.named);
    if (!driver->ok()) {
        state.SkipWithError("cannot open the file");
        return;
    }
    if (!operation.loop(state, *driver, records)) state.SkipWithError("a call failed");
}

}  // namespace
}  // namespace btrieve_bench

int main(int argc, char** argv) {
    using namespace btrieve_bench;
    benchmark::Initialize(&argc, argv);
    const std::vector<int> sizes = {1000, 10000, 100000};
    const BenchFiles files(sizes);
    for (const Operation& operation : operations()) {
        for (int records : sizes) {
            const std::string base = std::string(operation.name) + "/" + std::to_string(records);
            benchmark::RegisterBenchmark((base + "/ours").c_str(), [&files, &operation, records](benchmark::State& s) {
                run<Ours>(s, files, operation, records);
            })->UseRealTime();
            benchmark::RegisterBenchmark((base + "/sqlite").c_str(), [&files, &operation,
                                                                      records](benchmark::State& s) {
                run<Floor>(s, files, operation, records);
            })->UseRealTime();
        }
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
