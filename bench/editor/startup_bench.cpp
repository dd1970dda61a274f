#include "startup_bench.h"

#include <time.h>

#include <QApplication>
#include <QMainWindow>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "paint_wait.h"
#include "ui/answering_dialogs.h"
#include "ui/main_window.h"
#include "widget_census.h"

namespace editor_bench {
namespace {

double clockSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

const char* sideName(Side side) { return side == Side::Ours ? "ours" : "bare"; }

// What a sample keeps alive until its frame is measured; torn down outside the
// timed part.
struct Sample {
    std::unique_ptr<QApplication> app;
    ui::AnsweringDialogs dialogs;
    std::unique_ptr<QMainWindow> window;
};

// The timed part, as the editor's main() does it: the application, the window,
// loading, showing and the first frame. Kept out of line so that callgrind can
// count it by name.
[[gnu::noinline]] bool startUpToFirstFrame(Side side, const PageCensus& census, Sample& sample, int& argc,
                                           char** argv) {
    sample.app = std::make_unique<QApplication>(argc, argv);
    if (side == Side::Ours) {
        auto window = std::make_unique<ui::MainWindow>(sample.dialogs);
        if (!window->Form_Load()) return false;
        sample.window = std::move(window);
    } else {
        sample.window = std::make_unique<QMainWindow>();
        buildBareWindow(*sample.window, census);
    }
    return showUntilPainted(*sample.window);
}

struct Figures {
    double wall = 0, cpu = 0;  // microseconds, or instructions
};

// One kind of sample: the editor or the bare window; the editor on a server
// run also once more with its data in files (WBTRV32_SERVER taken away).
struct Contender {
    Side side;
    bool inFiles = false;
};

std::optional<Figures> runChild(const std::string& program, Contender contender, const std::string& censusFile,
                                bool instructions) {
    const Side side = contender.side;
    QProcess child;
    if (contender.inFiles) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("WBTRV32_SERVER"));
        child.setProcessEnvironment(environment);
    }
    QStringList args{QStringLiteral("--startup-sample"), QString::fromLatin1(sideName(side)),
                     QString::fromStdString(censusFile)};
    QString command = QString::fromStdString(program);
    if (instructions) {
        args.prepend(command);
        args = QStringList{QStringLiteral("--tool=callgrind"), QStringLiteral("--toggle-collect=*startUpToFirstFrame*"),
                           QStringLiteral("--callgrind-out-file=/dev/null")} +
               args;
        command = QStringLiteral("valgrind");
    }
    child.start(command, args);
    if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "editor_bench: a %s start-up sample failed: %s\n", sideName(side),
                     child.readAllStandardError().constData());
        return std::nullopt;
    }
    if (instructions) {
        // callgrind's summary line: "==pid== Collected : N"
        const auto match = QRegularExpression(QStringLiteral("Collected : (\\d+)"))
                               .match(QString::fromLocal8Bit(child.readAllStandardError()));
        if (!match.hasMatch()) return std::nullopt;
        return Figures{match.captured(1).toDouble(), 0};
    }
    Figures figures;
    if (std::sscanf(child.readAllStandardOutput().constData(), "%lf %lf", &figures.wall, &figures.cpu) != 2)
        return std::nullopt;
    return figures;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString platformName() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty()) return QString::fromLocal8Bit(platform);
    return qEnvironmentVariableIsSet("DISPLAY") ? QStringLiteral("xcb (DISPLAY)") : QStringLiteral("default");
}

}  // namespace

SampleStart SampleStart::now() { return {clockSeconds(CLOCK_MONOTONIC), clockSeconds(CLOCK_PROCESS_CPUTIME_ID)}; }

int runStartupSample(Side side, const std::string& censusFile, SampleStart start, int argc, char** argv) {
    PageCensus census;
    if (side == Side::Bare) {
        std::ifstream in(censusFile);
        census = readCensus(in);
        if (!in) {
            std::fprintf(stderr, "editor_bench: cannot read %s\n", censusFile.c_str());
            return 1;
        }
        start = SampleStart::now();  // reading the census is the benchmark's own work
    }
    Sample sample;
    if (!startUpToFirstFrame(side, census, sample, argc, argv)) {
        std::fprintf(stderr, "editor_bench: the %s window did not load or was never painted\n", sideName(side));
        return 1;
    }
    const SampleStart end = SampleStart::now();
    std::printf("%.1f %.1f\n", (end.wallSeconds - start.wallSeconds) * 1e6, (end.cpuSeconds - start.cpuSeconds) * 1e6);
    closeAndSettle(*sample.window);
    return 0;
}

bool compareStartups(const std::string& program, const std::string& censusFile, int samples, bool instructions) {
    const bool onServer = !qgetenv("WBTRV32_SERVER").isEmpty();
    std::vector<Contender> contenders{{Side::Ours}, {Side::Bare}};
    if (onServer) contenders.push_back({Side::Ours, true});
    std::vector<std::vector<Figures>> runs(contenders.size());
    for (int k = 0; k < (instructions ? 1 : samples); ++k) {
        for (std::size_t c = 0; c < contenders.size(); ++c) {
            const auto figures = runChild(program, contenders[c], censusFile, instructions);
            if (!figures) return false;
            runs[c].push_back(*figures);
        }
    }
    const auto medianOf = [&runs](std::size_t c, double Figures::*field) {
        std::vector<double> values;
        for (const Figures& f : runs[c]) values.push_back(f.*field);
        return median(values);
    };
    const double oursWall = medianOf(0, &Figures::wall), bareWall = medianOf(1, &Figures::wall);
    if (instructions) {
        std::printf(
            "\nStart-up, main() to first painted frame, platform %s, instructions under callgrind:\n"
            "| case | editor | bare Qt, lazy lists | editor / bare |\n|---|---:|---:|---:|\n"
            "| startup/first-frame | %.0f | %.0f | %.2f |\n",
            qPrintable(platformName()), oursWall, bareWall, oursWall / bareWall);
        if (onServer)
            std::printf("| editor on the server against in files | %.0f | %.0f | %.2f |\n", oursWall,
                        medianOf(2, &Figures::wall), oursWall / medianOf(2, &Figures::wall));
    } else {
        const double oursCpu = medianOf(0, &Figures::cpu), bareCpu = medianOf(1, &Figures::cpu);
        std::printf(
            "\nStart-up, main() to first painted frame, platform %s, medians of %d fresh processes a side:\n"
            "| case | editor (us) | bare Qt, lazy lists (us) | editor / bare | CPU editor / bare |\n"
            "|---|---:|---:|---:|---:|\n"
            "| startup/first-frame | %.0f | %.0f | %.2f | %.2f |\n",
            qPrintable(platformName()), samples, oursWall, bareWall, oursWall / bareWall, oursCpu / bareCpu);
        if (onServer) {
            const double filesWall = medianOf(2, &Figures::wall), filesCpu = medianOf(2, &Figures::cpu);
            std::printf(
                "\nThe editor's start-up with its data on the server against the same in files, same run:\n"
                "| case | on the server (us) | in files (us) | server / files | CPU server / files |\n"
                "|---|---:|---:|---:|---:|\n"
                "| startup/first-frame | %.0f | %.0f | %.2f | %.2f |\n",
                oursWall, filesWall, oursWall / filesWall, oursCpu / filesCpu);
        }
    }
    std::fflush(stdout);
    return true;
}

}  // namespace editor_bench
