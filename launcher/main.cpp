// The launcher the desktop's menu entry starts: it offers the worlds opened before,
// checks the chosen one and starts the editor in its folder.
#include <QApplication>
#include <QSettings>

#include "launcher/editor_start.h"
#include "launcher/launcher_window.h"
#include "ui/app_icon.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::setUpApplication();
    QSettings settings(QStringLiteral("grimhold"), QStringLiteral("launcher"));
    launcher::LauncherWindow window(settings, launcher::findEditor());
    window.show();
    return QApplication::exec();
}
