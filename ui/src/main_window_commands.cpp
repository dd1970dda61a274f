// The commands of the main window's buttons. Each finds its table through the
// caption of the selected tab and reaches the file through the record store.
#include <QLineEdit>
#include <QTabWidget>

#include "records/text_codec.h"
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
        if (!entry.table) return;
        auto& block = files_.block(*entry.table);
        if (store_.check(store_.getEqual(block, number), "Error on BGETEQUAL: ")) showRow(block);
    });
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
            insertCopy(*entry.table);
        else
            dialogs_.message(unfinishedText(entry));
    });
}

void MainWindow::cmdDelete_Click() {
    forSelectedTab([&](const TabEntry& entry) {
        if (entry.table && editor(*entry.table).editable())
            deleteShown(*entry.table);
        else
            dialogs_.message(unfinishedText(entry));
    });
}

namespace {

QString fieldText(std::span<const char> field) { return QString::fromStdU16String(records::DecodeText(field)); }

}  // namespace

void MainWindow::insertCopy(TableId table) {
    const auto& texts = tableTexts(table);
    auto& shown = editor(table);
    auto& block = files_.block(table);
    const auto copiedFrom = shown.recordNumber();
    if (dialogs_.message(texts.insertPrompt, texts.insertTitle, editors::Buttons::YesNo) != editors::Answer::Yes)
        return;
    // Number 0 lets the record manager give the copy the next free number.
    shown.setRecordNumber(0);
    shown.structToRow();
    if (!store_.check(store_.onTable(B_INSERT, block), "Error on BINSERT: ")) return;
    if (!store_.check(store_.onTable(B_GET_LAST, block), "Error on BGETLAST: ")) return;
    showRow(block);
    QString line = texts.noun + QStringLiteral(" Inserted at Record ") + QString::number(shown.recordNumber());
    // Tables without a name (messages) name the record the copy came from instead.
    if (shown.nameField().empty())
        line += QStringLiteral(" using data from record ") + QString::number(copiedFrom);
    else
        line += QStringLiteral(" using data ") + fieldText(shown.nameField());
    setStatusLine(line);
}

void MainWindow::deleteShown(TableId table) {
    auto& shown = editor(table);
    auto& block = files_.block(table);
    const auto number = QString::number(shown.recordNumber());
    const auto name = shown.nameField();
    const QString nameText = name.empty() ? QString() : fieldText(name) + QStringLiteral(" ");
    if (dialogs_.message(QStringLiteral("Delete this record from database?"),
                         QStringLiteral("Delete Record ") + number + QStringLiteral("?"),
                         editors::Buttons::YesNo) != editors::Answer::Yes)
        return;
    if (!store_.check(store_.onTable(B_DELETE, block), "Error on BDELETE: ")) return;
    setStatusLine(tableTexts(table).noun + QStringLiteral(" ") + number + QStringLiteral(" Deleted. ") + nameText);
    store::showFirstRecord(store_, block, [this](store::TableFileBlock& first) { showRow(first); });
}

}  // namespace ui
