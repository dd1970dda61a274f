// Record operations through BTRCALL next to the same work done straight on the
// engine that serves the files: raw SQLite, or, when WBTRV32_SERVER names a
// server, libpq on the same connection with the engine's own statements.
#include "bench_driver.h"
#include "bench_files.h"
#include "pg_floor.h"
#include "ratio_reporter.h"
#include "sqlite_floor.h"

#include <wbtrv32/bytes.h>
#include <wbtrv32/client.h>

#include <benchmark/benchmark.h>

#include <array>
#include <functional>
#include <memory>
#include <random>

namespace btrieve_bench {
namespace {

namespace client = wbtrv::client;

// The record manager through our client, as the tools reach it.
class Ours : public Driver {
public:
    explicit Ours(const std::string& path) : ok_(file_.open(path) == 0) {}
    bool ok() const override { return ok_; }
    bool first() override { return file_.get(client::Move::First, 0) == 0; }
    bool last() override { return file_.get(client::Move::Last, 0) == 0; }
    bool next() override { return file_.get(client::Move::Next, 0) == 0; }
    bool previous() override { return file_.get(client::Move::Previous, 0) == 0; }
    bool equal(std::int32_t key) override { return find(client::Find::Equal, key); }
    bool equalName(std::int32_t id) override {
        const std::string name = benchName(id);
        const std::span value(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
        return file_.find(client::Find::Equal, 1, value) == 0;
    }
    bool greater(std::int32_t key) override { return find(client::Find::Greater, key); }
    bool stepFirst() override { return file_.step(client::Step::First) == 0; }
    bool stepNext() override { return file_.step(client::Step::Next) == 0; }
    bool stepBatch() override {
        // At the end of the file, on from its start.
        const client::Status status = file_.stepExtended(client::Direction::Next, stepBatch_, batch_);
        if (!batch_.empty()) return status == 0 || status == B_END_OF_FILE;
        return status == B_END_OF_FILE && file_.step(client::Step::First) == 0;
    }
    int filteredWalk() override {
        if (file_.get(client::Move::First, 0) != 0) return -1;
        int found = file_.record()[kDigitOffset] == kDigit;
        for (;;) {
            const client::Status status = file_.getExtended(client::Direction::Next, 0, filtered_, batch_);
            found += static_cast<int>(batch_.size());
            if (status == B_END_OF_FILE) return found;
            if (status != 0 && status != B_REJECT_COUNT_REACHED) return -1;
        }
    }
    bool begin() override { return client::beginTransaction() == 0; }
    bool end() override { return client::endTransaction() == 0; }
    bool insert() override {
        record_ = benchRecord(0);
        return file_.insert(record_) == 0;
    }
    bool update() override {
        // The record last read, one byte changed.
        if (!file_.record().empty()) record_.assign(file_.record().begin(), file_.record().end());
        ++record_[10];
        return file_.update(record_) == 0;
    }
    bool remove() override { return file_.remove() == 0; }

private:
    bool find(client::Find how, std::int32_t key) {
        std::array<std::uint8_t, 4> value{};
        wbtrv::writeLittleEndian(value.data(), value.size(), static_cast<std::uint32_t>(key));
        return file_.find(how, 0, value) == 0;
    }
    static client::ExtendedRequest filteredRequest() {
        client::ExtendedRequest request = client::ExtendedRequest::wholeRecords(kRecordLength, kFilteredBatch);
        request.maxRejects = 65535;
        client::FilterTerm& digit = request.terms.emplace_back();
        digit.offset = kDigitOffset;
        digit.length = 1;
        digit.value = {kDigit};
        return request;
    }
    client::File file_;
    std::vector<std::uint8_t> record_ = benchRecord(0);
    const client::ExtendedRequest stepBatch_ = client::ExtendedRequest::wholeRecords(kRecordLength, kBatchRecords);
    const client::ExtendedRequest filtered_ = filteredRequest();
    std::vector<client::ExtendedRecord> batch_;
    bool ok_;
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
        // One batch of kBatchRecords records: the time per record is the time shown over kBatchRecords.
        {"StepNextExtendedBatch",
         [](benchmark::State& s, Driver& d, int) {
             d.stepFirst();
             return repeat(s, [&] { return d.stepBatch(); });
         }},
        {"FilteredGetNextExtendedWalk",
         [](benchmark::State& s, Driver& d, int records) {
             return repeat(s, [&] { return d.filteredWalk() == records / 10; });
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
