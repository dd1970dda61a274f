// grimhold-screenshots FOLDER: opens the real main window on the data files of the
// current folder, saves a picture of each table tab, of Find and of Where Used into
// FOLDER and closes, every box answering itself. It takes the README's pictures
// (make screenshots).
#include <QApplication>
#include <cstdio>

#include "screenshot_tabs.h"
#include "ui/answering_dialogs.h"
#include "ui/app_icon.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: grimhold-screenshots FOLDER  (run in a folder of the six data files)\n", stderr);
        return 2;
    }
    ui::setUpApplication();
    ui::AnsweringDialogs dialogs([](const QString& text) { std::printf("box answered: %s\n", qPrintable(text)); });
    ui::MainWindow window(dialogs);
    if (!window.Form_Load()) return 1;
    window.show();
    screenshots::takeTabScreenshots(window, args.at(1));
    return QApplication::exec();
}
