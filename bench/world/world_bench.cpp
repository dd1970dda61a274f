// Find's first screen of results and the whole world check, on the demo world and on
// the largest one `grimstore demo --records 200000` writes, each next to a floor
// measured in the same run: the same records read whole in as few calls as the record
// manager allows, Step Next Extended in physical order, the cheapest way it has to
// hand over every record. In files, or on the server WBTRV32_SERVER names. Runs
// interleaved; prints medians and their spread.
// CPU time is this process's: in files the record manager's work too, on a server not
// the server's.
//   world_bench [--runs=N] [--largest=RECORDS]   (default 5 runs, 200000 records; 0 skips it)
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gamedata/demo_world.h"
#include "world/batch_reader.h"
#include "world/text_search.h"
#include "world/world_check.h"

namespace {

namespace fs = std::filesystem;
namespace client = wbtrv::client;
using records::TableId;

// Must match the editor's Find window: one batch makes the first screen.
constexpr std::uint16_t kFirstScreen = 100;

struct Timing {
    double wall = 0, cpu = 0;  // milliseconds; cpu: this process's, on a busy machine the steadier one
};

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Timing timingOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuMilliseconds();
    work();
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
            cpuMilliseconds() - cpuStart};
}

double median(std::vector<double> v) {
    std::ranges::sort(v);
    return v[v.size() / 2];
}

// Find in the items: opening the file and reading and testing the first batch.
void findFirstScreen(const fs::path& dir) {
    client::File file;
    if (file.open((dir / "wccitem2.dat").string(), client::OpenMode::ReadOnly) != 0) std::abort();
    const world::TextSearch search(TableId::Items, "coin");
    world::BatchReader reader(file, records::tableFile(TableId::Items), search.request(kFirstScreen));
    world::Batch batch;
    reader.next(batch);
    std::size_t found = 0;
    for (std::size_t i = 0; i < batch.size(); ++i) found += search.match(batch.record(i)).has_value();
    if (found == 0) std::abort();
}

// Reads the records of the table's open file whole, `perCall` a Step Next Extended
// (0: a megabyte's worth), `calls` calls at most.
void stepWhole(client::File& file, const records::TableFile& table, std::uint16_t perCall, int calls) {
    if (perCall == 0) perCall = static_cast<std::uint16_t>(std::min(65535u, (1u << 20) / (6u + table.recordLength)));
    client::ExtendedRequest request =
        client::ExtendedRequest::wholeRecords(static_cast<std::uint16_t>(table.recordLength), perCall);
    request.fromCurrent = true;  // right after Open: from the first record on
    std::vector<client::ExtendedRecord> records;
    for (client::Status s = 0; s == 0 && calls-- > 0; request.fromCurrent = false)
        s = file.stepExtended(client::Direction::Next, request, records);
}

// The floor: opening the file and reading as many whole records in one call.
void readFirstScreen(const fs::path& dir) {
    client::File file;
    if (file.open((dir / "wccitem2.dat").string(), client::OpenMode::ReadOnly) != 0) std::abort();
    stepWhole(file, records::tableFile(TableId::Items), kFirstScreen, 1);
}

void checkWith(const fs::path& dir, client::EntryPoint entryPoint) {
    world::ReadFiles files(dir, std::move(entryPoint));
    world::WorldCheck check(files);
    std::vector<world::Problem> problems;
    while (check.step(problems)) {}
    if (check.status() != 0) std::abort();
}

void checkWorld(const fs::path& dir) { checkWith(dir, client::recordManager()); }

// The check as a record manager without the extended reads makes it: one Get Next a record.
void checkWorldRecordByRecord(const fs::path& dir) {
    checkWith(dir,
              [](std::uint16_t op, void* block, void* data, std::uint32_t* length, void* key, std::uint8_t keyLength,
                 std::int8_t keyNumber) -> client::Status {
                  if (op == B_GET_NEXT_EXTENDED) return B_INVALID_OPERATION;
                  return BTRCALL(op, block, data, length, key, keyLength, keyNumber);
              });
}

// The floor: every record of the six files read whole, a megabyte a call.
void readWorld(const fs::path& dir) {
    for (const records::TableFile& t : records::kTableFiles) {
        client::File file;
        if (file.open((dir / t.fileName).string(), client::OpenMode::ReadOnly) != 0) std::abort();
        stepWhole(file, t, 0, INT32_MAX);
    }
}

struct Case {
    const char* name;
    void (*ours)(const fs::path&);
    void (*floor)(const fs::path&);
};

void measure(const std::string& world, const fs::path& dir, int runs) {
    const Case cases[] = {{"find first screen", findFirstScreen, readFirstScreen},
                          {"check whole world", checkWorld, readWorld},
                          {"check, a record a call", checkWorldRecordByRecord, readWorld}};
    for (const Case& c : cases) {
        // On a server a record a call is a round trip a record: minutes for the largest world.
        if (c.ours == checkWorldRecordByRecord && getenv("WBTRV32_SERVER")) continue;
        std::vector<double> ours, floor, oursCpu, floorCpu;
        for (int r = 0; r < runs; ++r) {  // interleaved, so a busy moment hits both sides
            const Timing o = timingOf([&] { c.ours(dir); }), f = timingOf([&] { c.floor(dir); });
            ours.push_back(o.wall);
            oursCpu.push_back(o.cpu);
            floor.push_back(f.wall);
            floorCpu.push_back(f.cpu);
        }
        const auto [lo, hi] = std::ranges::minmax(ours);
        std::printf("| %s | %s | %.1f ms (%.1f to %.1f) | %.1f ms | %.2f | %.1f ms | %.1f ms | %.2f |\n", world.c_str(),
                    c.name, median(ours), lo, hi, median(floor), median(ours) / median(floor), median(oursCpu),
                    median(floorCpu), median(oursCpu) / median(floorCpu));
    }
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::uint32_t largest = gamedata::kMaxDemoRecords;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0) runs = std::max(1, std::atoi(argv[i] + 7));
        if (std::strncmp(argv[i], "--largest=", 10) == 0) largest = static_cast<std::uint32_t>(std::atol(argv[i] + 10));
    }
    std::string pattern = (fs::temp_directory_path() / "grim-world-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    const fs::path root = pattern;
    std::printf(
        "%s\n| world | work | ours, median (spread) | floor, median | ratio | ours, CPU | floor, CPU | ratio, CPU "
        "|\n|---|---|---|---|---|---|---|---|\n",
        getenv("WBTRV32_SERVER") ? "on the server" : "in files");
    int status = 0;
    for (const std::optional<std::uint32_t> records : {std::optional<std::uint32_t>(), std::optional(largest)}) {
        if (records == 0u) continue;
        const fs::path dir = root / (records ? "largest" : "demo");
        fs::create_directory(dir);
        const gamedata::DemoResult made = gamedata::writeDemoWorld(dir, {records, true});
        if (!made.ok()) {
            std::fprintf(stderr, "world_bench: %s\n", made.error.c_str());
            status = 1;
            break;
        }
        measure(records ? std::to_string(made.recordsWritten) + " records" : std::string("demo"), dir, runs);
    }
    fs::remove_all(root);
    return status;
}
