// Record operations through BTRCALL next to the same work done straight on the
// engine that serves the files: raw SQLite, or, when WBTRV32_SERVER names a
// server, libpq on the same connection with the engine's own statements.
#include "bench_driver.h"
#include "bench_files.h"
#include "pg_floor.h"
#include "ratio_reporter.h"
#include "sqlite_floor.h"

#include <wbtrv32/btrieve.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

namespace btrieve_bench {
namespace {

class Ours : public Driver {
public:
    explicit Ours(const std::string& path) {
        std::string name = path;
        std::memcpy(key_, name.c_str(), name.size() + 1);
        ok_ = BTRCALL(B_OPEN, block_, nullptr, nullptr, key_, sizeof key_, 0) == 0;
    }
    ~Ours() override { BTRCALL(B_CLOSE, block_, nullptr, nullptr, nullptr, 0, 0); }
    bool ok() const override { return ok_; }
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

using OpenDriver = std::function<std::unique_ptr<Driver>(const std::string& path, bool named)>;

void run(benchmark::State& state, const BenchFiles& files, const Operation& operation, int records,
         const OpenDriver& open) {
    const std::string path = files.freshCopy(records, operation.named);
    const std::unique_ptr<Driver> driver = open(path, operation.named);
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
    // The record manager picks the server from the same variable, so both sides reach the same database.
    const char* server = benchServer();
    const bool onServer = server != nullptr;
    const std::string floorName = onServer ? "libpq" : "sqlite";
    const OpenDriver floor =
        onServer
            ? OpenDriver([server](const std::string& path, bool named) { return openPgFloor(server, path, named); })
            : OpenDriver(openSqliteFloor);
    const OpenDriver ours = [](const std::string& path, bool) { return std::make_unique<Ours>(path); };
    for (const Operation& operation : operations()) {
        for (int records : sizes) {
            const std::string base = std::string(operation.name) + "/" + std::to_string(records);
            for (const auto& [side, open] : {std::pair{std::string("ours"), ours}, std::pair{floorName, floor}})
                benchmark::RegisterBenchmark((base + "/" + side).c_str(), [&files, &operation, records,
                                                                           open](benchmark::State& s) {
                    run(s, files, operation, records, open);
                })->UseRealTime();
        }
    }
    RatioReporter reporter(onServer ? "libpq" : "SQLite");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
