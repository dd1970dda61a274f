// The commands of the main window's buttons. Each finds its table through the
// caption of the selected tab and reaches the file through the record store.
#include <QLineEdit>
#include <QTabWidget>

#include "ui/goto_number.h"
#include "ui/main_window.h"
#include "ui/tab_table.h"

namespace ui {

using records::TableId;
using store::EndOfFile;

// One record manager read on the selected table, shown on success.
struct MainWindow::ReadCommand {
    store::Operation operation;
    std::string_view errorPrefix;
    EndOfFile endOfFile;
};

void MainWindow::forSelectedTab(const std::function<void(const TabEntry&)>& block) {
    for (const auto& entry : tabEntries())
        if (SSTab1_->tabText(SSTab1_->currentIndex()) == entry.caption) block(entry);
}

void MainWindow::readRecord(const ReadCommand& command) {
    forSelectedTab([&](const TabEntry& entry) {
        if (!entry.table) return;
        auto& block = files_.block(*entry.table);
        if (store_.check(store_.onTable(command.operation, block), command.errorPrefix, command.endOfFile))
            showRow(block);
    });
}

void MainWindow::cmdFirst_Click() { readRecord({B_GET_FIRST, "Error on BGETFIRST: ", EndOfFile::Silent}); }
void MainWindow::cmdNext_Click() { readRecord({B_GET_NEXT, "Error on BGETNEXT: ", EndOfFile::Silent}); }
void MainWindow::cmdPrevious_Click() { readRecord({B_GET_PREVIOUS, "Error on BGETPREVIOUS: ", EndOfFile::Silent}); }
void MainWindow::cmdLast_Click() { readRecord({B_GET_LAST, "Error on BGETLAST: ", EndOfFile::Reported}); }

void MainWindow::cmdGoto_Click() {
    const auto number = gotoRecordNumber(
        dialogs_.input(QStringLiteral("Goto what record?"), QStringLiteral("Goto"), QStringLiteral("1")));
    if (number <= 0) return;
    forSelectedTab([&](const TabEntry& entry) {
        if (entry.table) showRecord(*entry.table, number);
    });
}

bool MainWindow::showRecord(TableId table, std::int32_t number) {
    auto& block = files_.block(table);
    if (!store_.check(store_.getEqual(block, number), "Error on BGETEQUAL: ")) return false;
    showRow(block);
    return true;
}

void MainWindow::cmdUpdate_Click() {
    forSelectedTab([&](const TabEntry& entry) {
        if (entry.table && editor(*entry.table).editable()) editor(*entry.table).update();
    });
}

void MainWindow::cmdInsert_Click() {
    forSelectedTab([&](const TabEntry& entry) {
        if (!entry.table) return;  // the tabs without a file ignore Insert
        if (editor(*entry.table).editable())
            editor(*entry.table).insert();
        else
            dialogs_.message(unfinishedText(entry));
    });
}

void MainWindow::cmdDelete_Click() {
    forSelectedTab([&](const TabEntry& entry) {
        if (entry.table && editor(*entry.table).editable())
            editor(*entry.table).remove();
        else
            dialogs_.message(unfinishedText(entry));
    });
}

}  // namespace ui
