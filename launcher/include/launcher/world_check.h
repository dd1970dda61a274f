// Whether a folder holds a world the editor can open: its six data files, in the
// folder itself or on the server the folder (or the environment) names.
#pragma once

#include <QString>
#include <QStringList>

namespace launcher {

// Where the record manager keeps the data files of a folder.
enum class WorldPlace { Folder, ServerOfFolder, ServerOfEnvironment };

struct WorldCheck {
    QString folder;
    WorldPlace place = WorldPlace::Folder;
    QStringList missing;  // names of the six data files that are not there, in start-up order
    QString problem;      // anything else that keeps the editor from opening the world
    bool checked = true;  // false when the files on a server could not be looked at

    bool ready() const { return missing.isEmpty() && problem.isEmpty(); }
};

// Looks for the six files the way the editor's start-up opens them: in the folder,
// or, for a world on a server, by opening each read-only through the record manager
// and closing it again. A server may keep this waiting for seconds, so the window
// calls it on a thread of its own.
WorldCheck checkWorld(const QString& folder);

// The sentence the launcher shows for a check, naming every missing file.
QString describe(const WorldCheck& check);

}  // namespace launcher
