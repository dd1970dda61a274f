// The editor against bare Qt, in one run on the offscreen platform:
//   startup/window  load on the demo world, show, first frame painted, close with the
//                   closing box answered, window gone; next to a bare window holding
//                   the same number and kinds of widgets, shown, painted and closed.
//   show/<table>    the table's first and second demo records shown through its editor;
//                   next to the same texts put on the same widgets directly.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gamedata/demo_world.h"
#include "paint_wait.h"
#include "pair_reporter.h"
#include "show_bench.h"
#include "ui/answering_dialogs.h"
#include "ui/main_window.h"
#include "ui/tab_table.h"
#include "widget_census.h"

namespace {

namespace fs = std::filesystem;
using editor_bench::PageCensus;

// A fresh demo world in a temporary folder, made the current folder (the editor
// opens its files by bare name) for as long as the object lives.
class DemoFolder {
public:
    DemoFolder() : previous_(fs::current_path()) {
        std::string pattern = (fs::temp_directory_path() / "grim-editor-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            error_ = "cannot make a temporary folder";
            return;
        }
        path_ = pattern;
        const gamedata::DemoResult result = gamedata::writeDemoWorld(path_, {});
        error_ = result.error;
        fs::current_path(path_);
    }
    ~DemoFolder() {
        fs::current_path(previous_);
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    const std::string& error() const { return error_; }

private:
    fs::path previous_;
    fs::path path_;
    std::string error_;
};

void startEditor(benchmark::State& state) {
    ui::AnsweringDialogs dialogs;
    for (auto _ : state) {
        ui::MainWindow window(dialogs);
        if (!window.Form_Load()) {
            state.SkipWithError("a data file did not open");
            break;
        }
        if (!editor_bench::showUntilPainted(window)) {
            state.SkipWithError("the window was never painted");
            break;
        }
        editor_bench::closeAndSettle(window);
    }
}

void startBare(benchmark::State& state, const PageCensus& census) {
    for (auto _ : state) {
        QMainWindow window;
        editor_bench::buildBareWindow(window, census);
        if (!editor_bench::showUntilPainted(window)) {
            state.SkipWithError("the window was never painted");
            break;
        }
        editor_bench::closeAndSettle(window);
    }
}

// Counts the widgets of a loaded editor window.
PageCensus countEditorWidgets() {
    ui::AnsweringDialogs dialogs;
    ui::MainWindow window(dialogs);
    window.Form_Load();
    PageCensus census = editor_bench::countWidgets(window);
    window.close();
    return census;
}

void printCensus(const PageCensus& census) {
    const auto t = editor_bench::totals(census);
    std::printf(
        "Editor window: %d line edits, %d combo boxes with %d entries in all, %d labels, %d tab widgets with "
        "%d pages, %d buttons, %d check boxes, %d group boxes\n",
        t.lineEdits, t.combos, t.comboEntries, t.labels, t.tabWidgets, t.tabPages, t.buttons, t.checkBoxes,
        t.groupBoxes);
}

// Medians of five repetitions unless the caller asks otherwise.
std::vector<char*> withDefaultRepetitions(int argc, char** argv, std::vector<std::string>& storage) {
    std::vector<char*> args(argv, argv + argc);
    bool repetitions = false;
    for (int i = 1; i < argc; ++i)
        repetitions = repetitions || std::string(argv[i]).starts_with("--benchmark_repetitions");
    if (!repetitions) {
        storage = {"--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"};
        for (std::string& s : storage) args.push_back(s.data());
    }
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // keeps a platform chosen by the caller
    std::vector<std::string> storage;
    std::vector<char*> args = withDefaultRepetitions(argc, argv, storage);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    QApplication app(count, args.data());

    DemoFolder folder;
    if (!folder.error().empty()) {
        std::fprintf(stderr, "editor_bench: %s\n", folder.error().c_str());
        return 1;
    }
    const PageCensus census = countEditorWidgets();
    printCensus(census);
    editor_bench::ShowBench shows;

    benchmark::RegisterBenchmark("startup/window/ours", startEditor)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("startup/window/bare", [&census](benchmark::State& state) {
        startBare(state, census);
    })->Unit(benchmark::kMillisecond);
    for (const ui::TabEntry& entry : ui::tabEntries()) {
        if (!entry.table) continue;
        const std::string name = "show/" + entry.caption.toStdString();
        const records::TableId table = *entry.table;
        benchmark::RegisterBenchmark((name + "/ours").c_str(), [&shows, table](benchmark::State& state) {
            shows.select(table);
            for (auto _ : state) shows.showThroughEditor(table);
            state.counters["widgets"] = static_cast<double>(shows.filledWidgets(table));
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((name + "/bare").c_str(), [&shows, table](benchmark::State& state) {
            shows.select(table);
            for (auto _ : state) shows.setTextsDirectly(table);
            state.counters["widgets"] = static_cast<double>(shows.filledWidgets(table));
        })->Unit(benchmark::kMicrosecond);
    }

    editor_bench::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
