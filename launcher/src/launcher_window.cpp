#include "launcher/launcher_window.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "launcher/editor_start.h"

namespace launcher {
namespace {

QPushButton* button(const QString& name, const QString& caption) {
    auto* made = new QPushButton(caption);
    made->setObjectName(name);
    return made;
}

}  // namespace

QString chooseFolderInDialog(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Choose the Folder of a World"), QDir::homePath());
}

LauncherWindow::LauncherWindow(QSettings& settings, QString editorProgram, FolderChooser chooseFolder)
    : worlds_(settings),
      editorProgram_(std::move(editorProgram)),
      chooseFolder_(std::move(chooseFolder)),
      list_(new QListWidget),
      status_(new QLabel),
      forget_(button(QStringLiteral("cmdForget"), QStringLiteral("&Forget"))),
      open_(button(QStringLiteral("cmdOpen"), QStringLiteral("&Open"))) {
    setObjectName(QStringLiteral("frmLauncher"));
    setWindowTitle(QStringLiteral("Open a Grimhold World"));
    auto* caption = new QLabel(QStringLiteral("&Worlds:"));
    caption->setObjectName(QStringLiteral("lblWorlds"));
    caption->setBuddy(list_);
    list_->setObjectName(QStringLiteral("lstWorlds"));
    status_->setObjectName(QStringLiteral("lblWorldStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* choose = button(QStringLiteral("cmdChooseFolder"), QStringLiteral("&Choose Folder..."));
    auto* close = button(QStringLiteral("cmdClose"), QStringLiteral("Close"));
    open_->setDefault(true);

    auto* worldButtons = new QHBoxLayout;
    worldButtons->addWidget(choose);
    worldButtons->addWidget(forget_);
    worldButtons->addStretch();
    auto* windowButtons = new QHBoxLayout;
    windowButtons->addStretch();
    windowButtons->addWidget(open_);
    windowButtons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(list_);
    layout->addLayout(worldButtons);
    layout->addWidget(status_);
    layout->addLayout(windowButtons);
    resize(560, 360);

    connect(list_, &QListWidget::currentRowChanged, this, &LauncherWindow::checkSelected);
    connect(list_, &QListWidget::itemActivated, this, [this] {
        if (open_->isEnabled()) openSelected();
    });
    connect(choose, &QPushButton::clicked, this, &LauncherWindow::chooseFolder);
    connect(forget_, &QPushButton::clicked, this, &LauncherWindow::forgetSelected);
    connect(open_, &QPushButton::clicked, this, &LauncherWindow::openSelected);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    checker_.moveToThread(&checkThread_);
    checkThread_.start();
    list_->addItems(worlds_.folders());
    if (list_->count() > 0) list_->setCurrentRow(0);
    checkSelected();
}

LauncherWindow::~LauncherWindow() {
    // A check under way finishes first; its result is dropped with this window.
    checkThread_.quit();
    checkThread_.wait();
}

QString LauncherWindow::selectedFolder() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->text() : QString();
}

void LauncherWindow::addWorld(const QString& folder) {
    const QList<QListWidgetItem*> listed = list_->findItems(folder, Qt::MatchExactly);
    if (listed.isEmpty()) {
        list_->insertItem(0, folder);
        list_->setCurrentRow(0);
    } else {
        list_->setCurrentItem(listed.first());
    }
}

void LauncherWindow::checkSelected() {
    open_->setEnabled(false);
    const QString folder = selectedFolder();
    forget_->setEnabled(!folder.isEmpty());
    if (folder.isEmpty()) {
        status_->setText(
            QStringLiteral("Choose the folder of a world: one that holds the six data files, or a "
                           "wbtrv32.server file naming the server that holds them."));
        return;
    }
    status_->setText(QStringLiteral("Looking at %1 ...").arg(folder));
    QMetaObject::invokeMethod(&checker_, [this, folder] {
        const WorldCheck check = checkWorld(folder);
        QMetaObject::invokeMethod(
            this, [this, check] { showCheck(check); }, Qt::QueuedConnection);
    });
}

void LauncherWindow::showCheck(const WorldCheck& check) {
    if (check.folder != selectedFolder()) return;  // the user has moved on to another world
    status_->setText(describe(check));
    open_->setEnabled(check.ready());
}

void LauncherWindow::chooseFolder() {
    const QString chosen = chooseFolder_(this);
    if (!chosen.isEmpty()) addWorld(QDir::cleanPath(QDir(chosen).absolutePath()));
}

void LauncherWindow::forgetSelected() {
    worlds_.forget(selectedFolder());
    delete list_->currentItem();
    checkSelected();
}

void LauncherWindow::openSelected() {
    const QString folder = selectedFolder();
    QString error;
    if (!startEditor(editorProgram_, folder, error)) {
        status_->setText(error);
        return;
    }
    worlds_.remember(folder);
    close();
}

}  // namespace launcher
