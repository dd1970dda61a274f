#include "ratio_reporter.h"

#include <cstdio>
#include <vector>

namespace btrieve_bench {

// Names are "<operation>/<records>/<ours|floor>", then Google Benchmark's own suffixes.
void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        // With --benchmark_repetitions the median stands for the operation, else the one run.
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median)) continue;
        const std::string name = run.benchmark_name();
        const auto first = name.find('/');
        const auto second = name.find('/', first + 1);
        if (first == std::string::npos || second == std::string::npos) continue;
        const std::string operation = name.substr(0, first);
        const int records = std::stoi(name.substr(first + 1, second - first - 1));
        const bool ours = name.compare(second + 1, 4, "ours") == 0;
        auto& slot = times_[{operation, records}];
        if (median || !medians_.contains(name.substr(0, second + 5)))
            (ours ? slot.first : slot.second) = Times{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        if (median) medians_.insert(name.substr(0, second + 5));
    }
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    // Wall time counts the waits for the disk; CPU time is steadier on a busy machine.
    const char* label = floor_.c_str();
    std::printf(
        "\n| operation | records | ours (us) | %s (us) | ours / %s | CPU ours / %s |\n"
        "|---|---:|---:|---:|---:|---:|\n",
        label, label, label);
    for (const auto& [key, t] : times_) {
        const auto& [ours, floor] = t;
        if (ours.real <= 0 || floor.real <= 0 || floor.cpu <= 0) continue;
        std::printf("| %s | %d | %.2f | %.2f | %.2f | %.2f |\n", key.first.c_str(), key.second, ours.real / 1000.0,
                    floor.real / 1000.0, ours.real / floor.real, ours.cpu / floor.cpu);
    }
    std::fflush(stdout);
}

}  // namespace btrieve_bench
