// The launcher's window: the worlds opened before, a way to choose another folder,
// what the selected folder holds, and the button that starts the editor there.
#pragma once

#include <QSettings>
#include <QThread>
#include <QWidget>

#include <functional>

#include "launcher/recent_worlds.h"
#include "launcher/world_check.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace launcher {

// Asks the user for a folder; empty when the user cancels.
using FolderChooser = std::function<QString(QWidget* parent)>;
QString chooseFolderInDialog(QWidget* parent);

class LauncherWindow : public QWidget {
public:
    LauncherWindow(QSettings& settings, QString editorProgram, FolderChooser chooseFolder = chooseFolderInDialog);
    ~LauncherWindow() override;
    LauncherWindow(const LauncherWindow&) = delete;
    LauncherWindow& operator=(const LauncherWindow&) = delete;

private:
    QString selectedFolder() const;
    void addWorld(const QString& folder);
    void checkSelected();
    void showCheck(const WorldCheck& check);
    void chooseFolder();
    void forgetSelected();
    void openSelected();

    RecentWorlds worlds_;
    QString editorProgram_;
    FolderChooser chooseFolder_;
    QListWidget* list_;
    QLabel* status_;
    QPushButton* forget_;
    QPushButton* open_;
    // World checks run one after the other in the context of checker_, on checkThread_,
    // so that a server that keeps the record manager waiting never blocks the window.
    QThread checkThread_;
    QObject checker_;
};

}  // namespace launcher
