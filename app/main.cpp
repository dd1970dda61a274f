// The editor's entry point: opens the six data files of the current folder,
// runs the main window, and releases the files when the window closes.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "editors/dialogs.h"
#include "screenshot_tabs.h"
#include "ui/answering_dialogs.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"

namespace {

bool wantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

// The folder after --screenshot-tabs, or null.
const char* screenshotFolder(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot-tabs") == 0) return argv[i + 1];
    return nullptr;
}

// For the documentation's pictures: every box answers itself and is logged.
int runScreenshots(const char* folder) {
    ui::AnsweringDialogs dialogs([](const QString& text) { std::printf("box answered: %s\n", qPrintable(text)); });
    ui::MainWindow window(dialogs);
    if (!window.Form_Load()) return 1;
    window.show();
    app::takeTabScreenshots(window, QString::fromLocal8Bit(folder));
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (wantsHelp(argc, argv)) {
        std::puts(
            "Usage: grimhold-editor [--screenshot-tabs FOLDER]\n"
            "Edits the game's data files wccrace2.dat, wccclas2.dat, wccspel2.dat, wccknms2.dat,\n"
            "wccitem2.dat and wccmsg2.dat in the current folder.\n"
            "--screenshot-tabs FOLDER  show each table tab in turn, save the window as FOLDER/<tab>.png,\n"
            "                          then close, answering the closing box by itself");
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(editors::kApplicationTitle);
    if (const char* folder = screenshotFolder(argc, argv)) return runScreenshots(folder);

    ui::QtDialogs dialogs;
    ui::MainWindow window(dialogs);
    dialogs.setParentWidget(&window);
    if (!window.Form_Load()) return 1;  // a data file could not be opened
    window.show();
    return QApplication::exec();
}
