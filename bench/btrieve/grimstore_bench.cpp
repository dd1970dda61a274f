// grimstore's walks and copies of 100,000 records as whole processes, each
// against the engine's own tool doing the same work in the same run:
//  - save from a file: the sqlite3 shell writing the same records in key
//    order (".mode quote", each record as a blob literal);
//  - save from a server: psql's \copy of the same rows in key order (binary);
//  - copy from a file onto the server: psql's \copy FROM of the same rows
//    (binary) into an empty table of the same columns and index, one
//    transaction (the copy fills its new file before the file's journal
//    starts, so neither side journals).
// The records are the demo world's 100,000 items of 1,032 bytes. The server
// figures need a server: GRIM_TEST_PG (scripts/with-postgres) names it, and
// grimstore reaches it through a folder's wbtrv32.server. The sides take
// turns, kRuns times each; medians and the spread of each side are printed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 5;
constexpr int kRecords = 100000;

// A path or text quoted for the shell.
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool run(const std::string& command) { return std::system((command + " >/dev/null").c_str()) == 0; }

// Seconds the command takes; negative when it fails.
double timed(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const bool ok = run(command);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return ok ? took.count() : -1;
}

// The first line a command prints.
std::string output(const std::string& command) {
    std::string line;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        if (std::fgets(buffer, sizeof buffer, pipe)) line = buffer;
        pclose(pipe);
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
    return line;
}

struct Side {
    std::function<std::string(int run)> command;  // the command of one run
    std::function<void(int run)> prepare = {};    // untimed work before it
    std::vector<double> seconds = {};
};

// A literal of SQL text (the paths here hold no quote).
std::string literal(const std::string& text) { return "'" + text + "'"; }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs both sides in turn and prints the figure; false when a run failed.
bool compare(const std::string& name, Side ours, Side floor, const std::string& floorName) {
    for (int r = 0; r < kRuns; ++r)
        for (Side* side : {&ours, &floor}) {
            if (side->prepare) side->prepare(r);
            side->seconds.push_back(timed(side->command(r)));
            if (side->seconds.back() < 0) {
                std::fprintf(stderr, "%s: run %d failed: %s\n", name.c_str(), r + 1, side->command(r).c_str());
                return false;
            }
        }
    const double a = median(ours.seconds), b = median(floor.seconds);
    const auto spread = [](const std::vector<double>& v) {
        return *std::max_element(v.begin(), v.end()) / *std::min_element(v.begin(), v.end());
    };
    std::printf("| %s | grimstore %.3f s | %s %.3f s | ratio %.2f | spread %.2f / %.2f |\n", name.c_str(), a,
                floorName.c_str(), b, a / b, spread(ours.seconds), spread(floor.seconds));
    std::fflush(stdout);
    return true;
}

}  // namespace

int main() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/grimstore-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) return 1;
    const fs::path dir = pattern;
    const std::string grimstore = quoted(GRIMSTORE_PATH);
    // Every file of this program is a file unless its folder names a server.
    unsetenv("WBTRV32_SERVER");
    const std::string items = (dir / "world" / "wccitem2.dat").string();
    bool ok = run(grimstore + " demo " + quoted((dir / "world").string()) + " --records " + std::to_string(kRecords));

    const std::string out = (dir / "out").string();
    ok = ok && compare("save of 100,000 records of 1,032 bytes from a file",
                       {[&](int) { return grimstore + " save " + quoted(items) + " " + quoted(out); }}, {[&](int) {
                           return "sqlite3 " + quoted(items) +
                                  " '.mode quote' 'SELECT data FROM data_t ORDER BY key_0' > " + quoted(out);
                       }},
                       "sqlite3");

    const char* server = std::getenv("GRIM_TEST_PG");
    if (ok && server && *server) {
        const std::string psql = "psql " + quoted(server) + " -X -q -v ON_ERROR_STOP=1 -c ";
        const fs::path team = dir / "team";
        fs::create_directory(team);
        std::ofstream(team / "wbtrv32.server") << server << '\n';
        const std::string onServer = quoted((team / "items.dat").string());
        ok = run(grimstore + " copy " + quoted(items) + " " + onServer);
        const std::string table =
            "wbtrv_data_" + output(psql + quoted("SELECT id FROM wbtrv_files WHERE name = 'items.dat'") + " -t -A");
        const std::string rows = (dir / "rows.bin").string();
        ok = ok && run(psql + quoted("\\copy (SELECT id, data, key_0 FROM " + table + ") TO " + literal(rows) +
                                     " WITH (FORMAT binary)"));
        ok = ok && compare("save of 100,000 records from a server",
                           {[&](int) { return grimstore + " save " + onServer + " " + quoted(out); }}, {[&](int) {
                               return psql + quoted("\\copy (SELECT data FROM " + table + " ORDER BY key_0) TO " +
                                                    literal(out) + " WITH (FORMAT binary)");
                           }},
                           "psql \\copy TO");
        const auto floorTable = [](int r) { return "copy_floor_" + std::to_string(r); };
        ok = ok &&
             compare("copy of 100,000 records from a file onto a server", {[&](int r) {
                         return grimstore + " copy " + quoted(items) + " " +
                                quoted((team / ("copy" + std::to_string(r) + ".dat")).string());
                     }},
                     {[&](int r) {
                          return psql + quoted("\\copy " + floorTable(r) + "(id, data, key_0) FROM " + literal(rows) +
                                               " WITH (FORMAT binary)");
                      },
                      [&](int r) {
                          run(psql + quoted("CREATE TABLE " + floorTable(r) + " (LIKE " + table + " INCLUDING ALL)"));
                      }},
                     "psql \\copy FROM");
    } else if (ok) {
        std::printf("(no server: GRIM_TEST_PG is not set; scripts/with-postgres sets it)\n");
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return ok ? 0 : 1;
}
