// Console output as usual, then a markdown table of each operation's time
// through the record manager divided by its floor's time for the same work.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <string>
#include <utility>

namespace btrieve_bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // floor: what the record manager is measured against, as the table names it.
    explicit RatioReporter(std::string floor) : floor_(std::move(floor)) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Times {
        double real = 0, cpu = 0;  // nanoseconds per call
    };
    // (operation, records) -> (ours, floor).
    std::map<std::pair<std::string, int>, std::pair<Times, Times>> times_;
    std::set<std::string> medians_;
    std::string floor_;  // benchmarks whose median has been seen
};

}  // namespace btrieve_bench
