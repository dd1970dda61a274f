// The commands beside About: Find, Find Next, Where Used and Check World. They
// read the world through blocks of their own and show a record only through
// showRecord, the read and display Goto uses.
#include <QAction>
#include <QMenuBar>
#include <QTabWidget>

#include "editors/field_page.h"
#include "ui/check_world_window.h"
#include "ui/find_window.h"
#include "ui/main_window.h"
#include "ui/tab_table.h"
#include "ui/where_used_window.h"
#include "world/references.h"

namespace ui {

using records::TableId;

const TabEntry* MainWindow::selectedEntry() const {
    for (const auto& entry : tabEntries())
        if (SSTab1_->tabText(SSTab1_->currentIndex()) == entry.caption) return &entry;
    return nullptr;
}

void MainWindow::enableCommands() {
    const TabEntry* entry = selectedEntry();
    const bool table = entry && entry->table;
    const bool named = table && world::namedByOthers(*entry->table);
    for (const auto& [name, enabled] : {std::pair{"menuFind", table},
                                        {"menuFindNext", table},
                                        {"menuWhereUsed", named},
                                        {"menuCheckWorld", true},
                                        {"menuHistory", table}})
        if (auto* action = findChild<QAction*>(QString::fromLatin1(name))) action->setEnabled(enabled);
}

bool MainWindow::showFound(TableId table, std::int32_t number) {
    const auto entries = tabEntries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].table == table) SSTab1_->setCurrentIndex(static_cast<int>(i));
    return showRecord(table, number);
}

void MainWindow::menuFind_Click() {
    const TabEntry* entry = selectedEntry();
    if (!entry || !entry->table) return;
    if (!find_)
        find_ = new FindWindow(
            findFiles_, [this](TableId t, std::int32_t n) { showFound(t, n); }, this);
    find_->searchIn(*entry->table, entry->caption);
    find_->show();
    find_->raise();
    find_->activateWindow();
}

void MainWindow::menuFindNext_Click() {
    const TabEntry* entry = selectedEntry();
    if (!entry || !entry->table) return;
    const auto search = find_ ? find_->typedSearch(*entry->table) : std::nullopt;
    if (!search) {
        menuFind_Click();
        return;
    }
    wbtrv::client::File* file = findNextFiles_.file(*entry->table);
    if (!file) return;
    wbtrv::client::Status status = 0;
    if (const auto next = world::nextMatch(*file, *search, editor(*entry->table).recordNumber(), status))
        showRecord(*entry->table, *next);
}

void MainWindow::menuWhereUsed_Click() {
    const TabEntry* entry = selectedEntry();
    if (!entry || !entry->table || !world::namedByOthers(*entry->table)) return;
    const TableId table = *entry->table;
    const std::int32_t number = editor(table).recordNumber();
    std::vector<world::Use> uses;
    wbtrv::client::Status status = 0;
    world::WhereUsed(table, number).readAll(whereUsedFiles_, uses, status);
    if (!whereUsed_)
        whereUsed_ = new WhereUsedWindow(
            [this](const world::Use& use) {
                if (!showFound(use.table, use.number)) return;
                editors::revealElement(*SSTab1_->currentWidget(), *use.field, use.element);
            },
            this);
    QString title = QStringLiteral("Where Used: ") + entry->caption + QLatin1Char(' ') + QString::number(number);
    if (status != 0) title += QStringLiteral(" (a file could not be read: status ") + QString::number(status) + ')';
    whereUsed_->list(title, std::move(uses));
    whereUsed_->show();
    whereUsed_->raise();
    whereUsed_->activateWindow();
}

void MainWindow::menuCheckWorld_Click() {
    if (!checkWorld_)
        checkWorld_ = new CheckWorldWindow(
            checkFiles_, [this](TableId t, std::int32_t n) { showFound(t, n); }, this);
    if (!checkWorld_->running()) checkWorld_->run();
    checkWorld_->show();
    checkWorld_->raise();
    checkWorld_->activateWindow();
}

}  // namespace ui
