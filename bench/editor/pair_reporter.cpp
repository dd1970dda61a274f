#include "pair_reporter.h"

#include <algorithm>
#include <cstdio>

namespace editor_bench {

void PairReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        // With repetitions the median stands for the benchmark, else its one run.
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median)) continue;
        const std::string& name = run.run_name.function_name;
        const auto slash = name.rfind('/');
        if (slash == std::string::npos) continue;
        const std::string side = name.substr(slash + 1);
        if (side != "ours" && side != "bare") continue;
        if (!median && medians_.contains(name)) continue;
        if (median) medians_.insert(name);
        const std::string key = name.substr(0, slash);
        if (std::find(order_.begin(), order_.end(), key) == order_.end()) order_.push_back(key);
        Pair& pair = pairs_[key];
        const double toMicroseconds = 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        (side == "ours" ? pair.ours : pair.bare) =
            Times{run.GetAdjustedRealTime() * toMicroseconds, run.GetAdjustedCPUTime() * toMicroseconds};
    }
}

void PairReporter::Finalize() {
    ConsoleReporter::Finalize();
    // CPU time is the steadier figure on a machine that others share.
    std::printf(
        "\n| case | editor (us) | bare Qt (us) | editor / bare | CPU editor / bare |\n"
        "|---|---:|---:|---:|---:|\n");
    for (const std::string& key : order_) {
        const Pair& p = pairs_[key];
        if (p.ours.real <= 0 || p.bare.real <= 0 || p.bare.cpu <= 0) continue;
        std::printf("| %s | %.1f | %.1f | %.2f | %.2f |\n", key.c_str(), p.ours.real, p.bare.real,
                    p.ours.real / p.bare.real, p.ours.cpu / p.bare.cpu);
    }
    std::fflush(stdout);
}

}  // namespace editor_bench
