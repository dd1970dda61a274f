// Find's first screen of results and the whole world check, on the demo world and on
// the largest one `grimstore demo --records 200000` writes, each next to a floor
// measured in the same run: the same records read whole with Get First and Get Next,
// the plain walk every read of a table starts from. In files, or on the server
// WBTRV32_SERVER names. Runs interleaved; prints medians and their spread.
//   world_bench [--runs=N] [--largest=RECORDS]   (default 5 runs, 200000 records; 0 skips it)
#include <stdlib.h>

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

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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

// The floor: opening the file and reading as many whole records with Get.
void readFirstScreen(const fs::path& dir) {
    client::File file;
    if (file.open((dir / "wccitem2.dat").string(), client::OpenMode::ReadOnly) != 0) std::abort();
    client::Status status = file.get(client::Move::First, 0);
    for (int i = 1; i < kFirstScreen && status == 0; ++i) status = file.get(client::Move::Next, 0);
}

void checkWorld(const fs::path& dir) {
    world::ReadFiles files(dir);
    world::WorldCheck check(files);
    std::vector<world::Problem> problems;
    while (check.step(problems)) {}
    if (check.status() != 0) std::abort();
}

// The floor: every record of the six files read whole along the record number.
void readWorld(const fs::path& dir) {
    for (const records::TableFile& t : records::kTableFiles) {
        client::File file;
        if (file.open((dir / t.fileName).string(), client::OpenMode::ReadOnly) != 0) std::abort();
        for (client::Status s = file.get(client::Move::First, 0); s == 0; s = file.get(client::Move::Next, 0)) {}
    }
}

struct Case {
    const char* name;
    void (*ours)(const fs::path&);
    void (*floor)(const fs::path&);
};

void measure(const std::string& world, const fs::path& dir, int runs) {
    const Case cases[] = {{"find first screen", findFirstScreen, readFirstScreen},
                          {"check whole world", checkWorld, readWorld}};
    for (const Case& c : cases) {
        std::vector<double> ours, floor;
        for (int r = 0; r < runs; ++r) {  // interleaved, so a busy moment hits both sides
            ours.push_back(millisecondsOf([&] { c.ours(dir); }));
            floor.push_back(millisecondsOf([&] { c.floor(dir); }));
        }
        const auto [lo, hi] = std::ranges::minmax(ours);
        std::printf("| %s | %s | %.1f ms (%.1f to %.1f) | %.1f ms | %.2f |\n", world.c_str(), c.name, median(ours), lo,
                    hi, median(floor), median(ours) / median(floor));
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
    std::printf("%s\n| world | work | ours, median (spread) | floor, median | ratio |\n|---|---|---|---|---|\n",
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
