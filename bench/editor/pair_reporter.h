// Console output as usual, then a markdown table that sets each case's time through
// the editor ("<case>/ours") against bare Qt doing the same widget work ("<case>/bare").
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace editor_bench {

class PairReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Times {
        double real = 0, cpu = 0;  // microseconds per iteration
    };
    struct Pair {
        Times ours, bare;
    };
    std::map<std::string, Pair> pairs_;
    std::vector<std::string> order_;  // cases in the order they ran
    std::set<std::string> medians_;   // benchmarks whose median has been seen
};

}  // namespace editor_bench
