// The editor's entry point: opens the six data files of the current folder,
// runs the main window, and releases the files when the window closes.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "editors/dialogs.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"

namespace {

bool wantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (wantsHelp(argc, argv)) {
        std::puts("Usage: grimhold-editor\n"
                  "Edits the game's data files wccrace2.dat, wccclas2.dat, wccspel2.dat, wccknms2.dat,\n"
                  "wccitem2.dat and wccmsg2.dat in the current folder.");
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(editors::kApplicationTitle);

    ui::QtDialogs dialogs;
    ui::MainWindow window(dialogs);
    dialogs.setParentWidget(&window);
    if (!window.Form_Load()) return 1;  // a data file could not be opened
    window.show();
    return QApplication::exec();
}
