// Record operations through BTRCALL next to the same work done straight on the
// engine that serves the files: raw SQLite, or, when WBTRV32_SERVER names a
// server, libpq on the same connection with the engine's own statements.
#include "bench_files.h"
#include "operations.h"
#include "pg_floor.h"
#include "ratio_reporter.h"
#include "sqlite_floor.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace btrieve_bench {
namespace {

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
