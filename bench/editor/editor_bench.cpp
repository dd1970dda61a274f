// The editor against bare Qt, in one run, on the platform the caller chose (offscreen
// unless QT_QPA_PLATFORM says otherwise):
//   startup/first-frame  main() to the first painted frame, each sample a fresh process:
//                        the editor loading the demo world, against a bare window with
//                        the same widgets whose lists are filled when first opened.
//                        --startup-samples=N a side (default 15, 0 skips them);
//                        --startup-instructions counts one sample a side under
//                        callgrind instead (offscreen). With WBTRV32_SERVER set, the
//                        editor on the server also against the editor on files.
//   show/<table>         the table's first and second demo records shown through its
//                        editor; next to the same texts put on the same widgets directly.
//   names/Monsters       two demo monsters shown with the names of the items and spells
//                        they name, next to the same two shown without them.
//   update/<table>       the first record of an editable table saved unchanged through
//                        its editor (read from the tab, packed, written, shown again);
//                        next to the same row written by the record manager's Update and
//                        the same texts put on the widgets directly.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gamedata/demo_world.h"
#include "paint_wait.h"
#include "pair_reporter.h"
#include "show_bench.h"
#include "startup_bench.h"
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
        error_ = gamedata::writeDemoWorld(path_, {}).error;
        // On a server, the same world in files too, for the editor's start-up on files beside it.
        if (const char* server = std::getenv("WBTRV32_SERVER"); error_.empty() && server && *server) {
            const std::string saved = server;
            unsetenv("WBTRV32_SERVER");
            error_ = gamedata::writeDemoWorld(path_, {}).error;
            setenv("WBTRV32_SERVER", saved.c_str(), 1);
        }
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

// The start-up options, taken out of the arguments before the benchmark library reads them.
struct StartupOptions {
    int samples = 15;
    bool instructions = false;
};

StartupOptions takeStartupOptions(std::vector<char*>& args) {
    StartupOptions options;
    std::erase_if(args, [&options](char* arg) {
        if (std::strncmp(arg, "--startup-samples=", 18) == 0) return (options.samples = std::atoi(arg + 18)), true;
        if (std::strcmp(arg, "--startup-instructions") == 0) return (options.instructions = true);
        return false;
    });
    return options;
}

// Medians of five repetitions unless the caller asks otherwise.
void addDefaultRepetitions(std::vector<char*>& args, std::vector<std::string>& storage) {
    for (const char* arg : args)
        if (std::string(arg).starts_with("--benchmark_repetitions")) return;
    storage = {"--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"};
    for (std::string& s : storage) args.push_back(s.data());
}

}  // namespace

int main(int argc, char** argv) {
    const editor_bench::SampleStart start = editor_bench::SampleStart::now();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // keeps a platform chosen by the caller
    if (argc == 4 && std::strcmp(argv[1], "--startup-sample") == 0) {
        const auto side = std::strcmp(argv[2], "ours") == 0 ? editor_bench::Side::Ours : editor_bench::Side::Bare;
        return editor_bench::runStartupSample(side, argv[3], start, argc, argv);
    }
    std::vector<char*> args(argv, argv + argc);
    const StartupOptions startup = takeStartupOptions(args);
    std::vector<std::string> storage;
    addDefaultRepetitions(args, storage);
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
    const std::string censusFile = (fs::current_path() / "census.txt").string();
    {
        std::ofstream out(censusFile);
        editor_bench::writeCensus(out, census);
    }
    if (startup.samples > 0 && !editor_bench::compareStartups(QCoreApplication::applicationFilePath().toStdString(),
                                                              censusFile, startup.samples, startup.instructions))
        return 1;

    editor_bench::ShowBench shows;
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

    // A monster shown with the names of the items and spells it names, against the
    // same monsters shown with the boxes beside the references left empty.
    for (const bool names : {true, false})
        benchmark::RegisterBenchmark(names ? "names/Monsters/ours" : "names/Monsters/bare",
                                     [&shows, names](benchmark::State& state) {
                                         for (auto _ : state) shows.showMonstersNamed(names);
                                     })
            ->Unit(benchmark::kMicrosecond);

    // The tables that are saved: those that never answer "not finished".
    for (const ui::TabEntry& entry : ui::tabEntries()) {
        if (!entry.table || !entry.unfinishedName.isEmpty() || !shows.openTable(*entry.table)) continue;
        const std::string name = "update/" + entry.caption.toStdString();
        const records::TableId table = *entry.table;
        // The show benchmarks leave other records on the tab than the file's position.
        benchmark::RegisterBenchmark((name + "/ours").c_str(), [&shows, table](benchmark::State& state) {
            shows.select(table);
            shows.showRead(table);
            for (auto _ : state) shows.updateThroughEditor(table);
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((name + "/bare").c_str(), [&shows, table](benchmark::State& state) {
            shows.select(table);
            shows.showRead(table);
            for (auto _ : state) shows.updateDirectly(table);
        })->Unit(benchmark::kMicrosecond);
    }

    editor_bench::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
