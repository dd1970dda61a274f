#include "operations.h"

#include <random>

namespace btrieve_bench {

namespace {

// Times `step` once per iteration; false as soon as a call fails.
template <class Step>
bool repeat(benchmark::State& s, Step step) {
    for (auto _ : s)
        if (!step()) return false;
    return true;
}

}  // namespace

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

}  // namespace btrieve_bench
