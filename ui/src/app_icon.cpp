#include "ui/app_icon.h"

#include <QApplication>

#include "editors/dialogs.h"

namespace ui {

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/grimhold-editor-%1.png").arg(size), QSize(size, size));
    return icon;
}

void setUpApplication() {
    QApplication::setApplicationName(editors::kApplicationTitle);
    QApplication::setWindowIcon(applicationIcon());
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.grimhold.Editor"));
}

}  // namespace ui
