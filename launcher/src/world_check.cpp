#include "launcher/world_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <string_view>

#include <wbtrv32/client.h>
#include <wbtrv32/folder_server.h>

#include "records/tables.h"

namespace launcher {
namespace {

// Where the editor started in dir finds its data files, by the record manager's own
// rule; problem says why that cannot be told.
WorldPlace placeOf(const QDir& dir, QString& problem) {
    const wbtrv::ServerChoice choice = wbtrv::serverOfFolder(QFile::encodeName(dir.absolutePath()).toStdString());
    switch (choice.source) {
        case wbtrv::ServerChoice::Source::Environment:
            return WorldPlace::ServerOfEnvironment;
        case wbtrv::ServerChoice::Source::FolderFile:
            return WorldPlace::ServerOfFolder;
        case wbtrv::ServerChoice::Source::Refused:
            problem = QStringLiteral("This folder's %1 %2, so the editor would open nothing here.")
                          .arg(QString::fromLatin1(wbtrv::kServerFileName), QString::fromLocal8Bit(choice.why));
            break;
        case wbtrv::ServerChoice::Source::Folder:
            break;
    }
    return WorldPlace::Folder;
}

// Opens the data file read-only through the record manager and closes it again;
// returns the status of the Open.
std::int16_t openAndClose(const QByteArray& path) {
    return wbtrv::client::File().open(std::string_view(path.constData(), static_cast<std::size_t>(path.size())),
                                      wbtrv::client::OpenMode::ReadOnly);
}

QString fileName(const records::TableFile& table) {
    return QString::fromLatin1(table.fileName.data(), static_cast<qsizetype>(table.fileName.size()));
}

}  // namespace

WorldCheck checkWorld(const QString& folder) {
    WorldCheck check;
    check.folder = folder;
    const QDir dir(folder);
    if (!QFileInfo(folder).isDir()) {
        check.problem = QStringLiteral("This folder does not exist.");
        return check;
    }
    check.place = placeOf(dir, check.problem);
    if (!check.problem.isEmpty()) return check;
    if (check.place == WorldPlace::Folder) {
        for (const records::TableFile& table : records::kTableFiles)
            if (!QFileInfo(dir.filePath(fileName(table))).isFile()) check.missing << fileName(table);
        return check;
    }
    // The record manager takes a name of at most the key buffer's length with its zero.
    if (QFile::encodeName(dir.absoluteFilePath(fileName(records::kTableFiles[0]))).size() >= BTR_MAX_KEY_LENGTH) {
        check.checked = false;
        return check;
    }
    for (const records::TableFile& table : records::kTableFiles) {
        const std::int16_t status = openAndClose(QFile::encodeName(dir.absoluteFilePath(fileName(table))));
        if (status == B_FILE_NOT_FOUND) {
            check.missing << fileName(table);
        } else if (status != B_NO_ERROR) {  // the server is not there: the other files would wait for it too
            check.problem = QStringLiteral("%1 cannot be opened: %2 (%3).")
                                .arg(fileName(table))
                                .arg(status)
                                .arg(QString::fromUtf8(BTRSTATUSTEXT(status)));
            return check;
        }
    }
    return check;
}

QString describe(const WorldCheck& check) {
    if (!check.problem.isEmpty()) return check.problem;
    const QString where = check.place == WorldPlace::Folder ? QStringLiteral("This folder")
                          : check.place == WorldPlace::ServerOfFolder
                              ? QStringLiteral("The server this folder's wbtrv32.server names")
                              : QStringLiteral("The server WBTRV32_SERVER names");
    if (!check.checked)
        return where + QStringLiteral(
                           " keeps the world; its data files were not looked at, as the folder's path is "
                           "too long for the record manager.");
    if (check.missing.isEmpty()) return where + QStringLiteral(" holds the six data files.");
    const QString names = check.missing.join(QStringLiteral(", "));
    if (check.missing.size() == static_cast<qsizetype>(records::kTableFiles.size()))
        return where + QStringLiteral(" holds none of the six data files: %1.").arg(names);
    return where + QStringLiteral(" lacks %1.").arg(names);
}

}  // namespace launcher
