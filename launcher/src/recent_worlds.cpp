#include "launcher/recent_worlds.h"

#include <QDir>

namespace launcher {
namespace {

const QString kKey = QStringLiteral("worlds");

}  // namespace

QStringList RecentWorlds::folders() const {
    // The settings file is the user's to edit: keep only absolute folders, once each.
    QStringList folders;
    for (const QString& entry : settings_.value(kKey).toStringList()) {
        const QString folder = QDir::cleanPath(entry);
        if (QDir::isAbsolutePath(folder) && !folders.contains(folder)) folders << folder;
    }
    return folders.mid(0, kMostKept);
}

void RecentWorlds::remember(const QString& folder) {
    QStringList folders = this->folders();
    folders.removeAll(folder);
    folders.prepend(folder);
    store(folders.mid(0, kMostKept));
}

void RecentWorlds::forget(const QString& folder) {
    QStringList folders = this->folders();
    folders.removeAll(folder);
    store(folders);
}

void RecentWorlds::store(const QStringList& folders) {
    settings_.setValue(kKey, folders);
    settings_.sync();
}

}  // namespace launcher
