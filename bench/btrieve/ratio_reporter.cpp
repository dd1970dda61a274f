#include "ratio_reporter.h"

#include <cstdio>
#include <vector>

namespace btrieve_bench {

// Names are "<operation>/<records>/<ours|sqlite>", then Google Benchmark's own suffixes.
void RatioReporter::ReportRuns(const std::vector<Run> &runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        if (run.error_occurred || run.run_type != Run::RT_Iteration)
            continue;
        const std::string name = run.benchmark_name();
        const auto first = name.find('/');
        const auto second = name.find('/', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string operation = name.substr(0, first);
        const int records = std::stoi(name.substr(first + 1, second - first - 1));
        const double ns = run.GetAdjustedRealTime();
        auto &slot = times_[{operation, records}];
        (name.compare(second + 1, 4, "ours") == 0 ? slot.first : slot.second) = ns;
    }
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::printf("\n| operation | records | ours (us) | SQLite (us) | ours / SQLite |\n|---|---:|---:|---:|---:|\n");
    for (const auto &[key, t] : times_) {
        if (t.first <= 0 || t.second <= 0)
            continue;
        std::printf("| %s | %d | %.2f | %.2f | %.2f |\n", key.first.c_str(), key.second, t.first / 1000.0,
                    t.second / 1000.0, t.first / t.second);
    }
    std::fflush(stdout);
}

} // namespace btrieve_bench
