#include "screenshot_tabs.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QPixmap>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "screenshot_commands.h"
#include "ui/tab_table.h"

namespace screenshots {
namespace {

// "Spells/Messages" -> "spells-messages".
QString fileStem(const QString& caption) {
    static const QRegularExpression separators(QStringLiteral("[^a-z0-9]+"));
    return caption.toLower().replace(separators, QStringLiteral("-"));
}

// The tab controls on a page whose nearest enclosing tab control is outer.
std::vector<QTabWidget*> innerTabs(QTabWidget& outer, QWidget& page) {
    std::vector<QTabWidget*> found;
    for (QTabWidget* tabs : page.findChildren<QTabWidget*>()) {
        QWidget* up = tabs->parentWidget();
        while (up && !qobject_cast<QTabWidget*>(up)) up = up->parentWidget();
        if (up == &outer) found.push_back(tabs);
    }
    return found;
}

bool save(QMainWindow& window, const QString& folder, const QString& stem) {
    QCoreApplication::processEvents();  // lays out the page just brought to the front
    const QString path = QDir(folder).filePath(stem + QStringLiteral(".png"));
    const bool ok = window.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    std::fflush(stdout);
    return ok;
}

bool shootAll(QMainWindow& window, const QString& folder) {
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    if (!tabs || !QDir().mkpath(folder)) return false;
    const auto entries = ui::tabEntries();
    bool ok = true;
    for (int i = 0; i < tabs->count(); ++i) {
        const bool hasTable = std::any_of(entries.begin(), entries.end(), [&](const ui::TabEntry& e) {
            return e.table && e.caption == tabs->tabText(i);
        });
        if (!hasTable) continue;
        tabs->setCurrentIndex(i);
        const QString stem = fileStem(tabs->tabText(i));
        const auto inner = innerTabs(*tabs, *tabs->widget(i));
        if (inner.empty()) ok = save(window, folder, stem) && ok;
        for (QTabWidget* sub : inner) {
            const int shown = sub->currentIndex();
            for (int k = 0; k < sub->count(); ++k) {
                sub->setCurrentIndex(k);
                ok = save(window, folder, stem + QLatin1Char('-') + fileStem(sub->tabText(k))) && ok;
            }
            sub->setCurrentIndex(shown);
        }
    }
    tabs->setCurrentIndex(0);
    return ok;
}

// Long enough for the first frame to reach the display.
constexpr int kSettleMs = 300;

}  // namespace

void takeTabScreenshots(QMainWindow& window, const QString& folder) {
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer::singleShot(kSettleMs, &window, [&window, folder] {
        bool ok = shootAll(window, folder);
        ok = shootWorldCommands(window, folder) && ok;
        window.close();  // runs the shut-down, whose closing box answers itself
        QCoreApplication::exit(ok ? 0 : 1);
    });
}

}  // namespace screenshots
