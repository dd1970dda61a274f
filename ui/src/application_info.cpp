#include "ui/application_info.h"

#include "editors/dialogs.h"

namespace ui {

int versionMajor() { return GRIM_VERSION_MAJOR; }
int versionMinor() { return GRIM_VERSION_MINOR; }

QString windowCaption() {
    return editors::kApplicationTitle + QStringLiteral(" v") + QString::number(versionMajor()) + QStringLiteral(".") +
           QString::number(versionMinor());
}

QString versionText() {
    return QStringLiteral("Version ") + QString::number(versionMajor()) + QStringLiteral(".") +
           QString::number(versionMinor());
}

QString webPageAddress() { return QStringLiteral("https://grimhold.example.org/editor"); }

}  // namespace ui
