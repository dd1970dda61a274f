// The worlds the editor was started in, most recent first, kept in the settings
// so that the next launcher offers them again.
#pragma once

#include <QSettings>
#include <QStringList>

namespace launcher {

class RecentWorlds {
public:
    static constexpr qsizetype kMostKept = 20;

    explicit RecentWorlds(QSettings& settings) : settings_(settings) {}

    // Absolute folders, without duplicates, as the settings hold them.
    QStringList folders() const;
    // Puts folder first, keeping at most kMostKept.
    void remember(const QString& folder);
    void forget(const QString& folder);

private:
    void store(const QStringList& folders);

    QSettings& settings_;
};

}  // namespace launcher
