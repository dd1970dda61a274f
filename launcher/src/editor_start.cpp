#include "launcher/editor_start.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace launcher {
namespace {

const QString kEditorName = QStringLiteral("grimhold-editor");

}  // namespace

QString findEditor() {
    const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()).filePath(kEditorName));
    if (beside.isFile() && beside.isExecutable()) return beside.filePath();
    return QStandardPaths::findExecutable(kEditorName);
}

bool startEditor(const QString& program, const QString& folder, QString& error) {
    if (program.isEmpty()) {
        error = QStringLiteral("The editor, %1, is neither beside the launcher nor on PATH.").arg(kEditorName);
        return false;
    }
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(folder);
    if (process.startDetached()) return true;
    error = QStringLiteral("The editor %1 could not be started: %2.").arg(program, process.errorString());
    return false;
}

}  // namespace launcher
