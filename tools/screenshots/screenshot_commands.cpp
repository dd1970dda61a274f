#include "screenshot_commands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <cstdio>

#include "ui/find_window.h"

namespace screenshots {
namespace {

bool saveWidget(QWidget& widget, const QString& folder, const QString& stem) {
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(stem + QStringLiteral(".png"));
    const bool ok = widget.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    std::fflush(stdout);
    return ok;
}

// Types the text into Find and lets its search read the whole table.
bool typeIntoFind(ui::FindWindow& find, const QString& text) {
    auto* box = find.findChild<QLineEdit*>(QStringLiteral("txtFindText"));
    if (!box) return false;
    box->setText(text);
    const QDeadlineTimer deadline(10000);
    while (find.searching() && !deadline.hasExpired()) QCoreApplication::processEvents();
    return !find.searching();
}

}  // namespace

bool shootWorldCommands(QMainWindow& window, const QString& folder) {
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    auto* findAction = window.findChild<QAction*>(QStringLiteral("menuFind"));
    auto* whereUsedAction = window.findChild<QAction*>(QStringLiteral("menuWhereUsed"));
    if (!tabs || !findAction || !whereUsedAction) return false;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == QStringLiteral("Items")) tabs->setCurrentIndex(i);
    findAction->trigger();
    auto* find = window.findChild<ui::FindWindow*>(QStringLiteral("frmFind"));
    if (!find || !typeIntoFind(*find, QStringLiteral("coin"))) return false;
    bool ok = saveWidget(*find, folder, QStringLiteral("find"));

    // The charm two of the demo monsters drop, shown through Find, then its uses.
    auto* results = find->findChild<QListWidget*>(QStringLiteral("lstFindResults"));
    auto* show = find->findChild<QPushButton*>(QStringLiteral("cmdFindShow"));
    if (!results || !show || !typeIntoFind(*find, QStringLiteral("Boar Tusk Charm")) || results->count() == 0)
        return false;
    results->setCurrentRow(0);
    show->click();
    find->close();
    whereUsedAction->trigger();
    auto* whereUsed = window.findChild<QWidget*>(QStringLiteral("frmWhereUsed"));
    return whereUsed && saveWidget(*whereUsed, folder, QStringLiteral("where-used")) && ok;
}

}  // namespace screenshots
