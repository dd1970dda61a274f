// The editor's entry point: opens the six data files of the current folder,
// runs the main window, and releases the files when the window closes.
#include <QApplication>

#include "ui/app_icon.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::setUpApplication();
    ui::QtDialogs dialogs;
    ui::MainWindow window(dialogs);
    dialogs.setParentWidget(&window);
    if (!window.Form_Load()) return 1;  // a data file could not be opened
    window.show();
    return QApplication::exec();
}
