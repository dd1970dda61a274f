// History beside About: the changes of the record on the selected tab, read
// through a read-only block of the window's own, and Revert, which writes a
// version back through the tab's own block as Update writes.
#include <QAction>
#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>

#include "records/text_codec.h"
#include "ui/history_window.h"
#include "ui/main_window.h"
#include "ui/tab_table.h"
#include "world/references.h"

namespace ui {
namespace {

using records::TableId;

const TabEntry& entryOf(TableId table) {
    for (const auto& entry : tabEntries())
        if (entry.table == table) return entry;
    return tabEntries().front();
}

// "Race 2 Reverted to entry 13! Fenwight": the record by its word, number and title.
QString revertedLine(TableId table, std::int32_t number, std::uint64_t sequence, std::span<const std::uint8_t> row) {
    QString word =
        QString::fromLatin1(world::recordWord(table).data(), static_cast<qsizetype>(world::recordWord(table).size()));
    word[0] = word[0].toUpper();
    const world::RowField title = world::titleField(table);
    const auto bytes = world::shownBytes(row.subspan(title.offset, title.length));
    return word + QLatin1Char(' ') + QString::number(number) + QStringLiteral(" Reverted to entry ") +
           QString::number(sequence) + QStringLiteral("! ") +
           QString::fromStdU16String(
               records::decodeText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

}  // namespace

void MainWindow::menuHistory_Click() {
    const TabEntry* entry = selectedEntry();
    if (!entry || !entry->table) return;
    listHistory(*entry->table, editor(*entry->table).recordNumber());
    history_->show();
    history_->raise();
    history_->activateWindow();
}

void MainWindow::listHistory(TableId table, std::int32_t number) {
    if (!history_)
        history_ = new HistoryWindow(
            [this](const RecordHistory& history, const HistoryRow& row) { revertRecord(history, row); }, this);
    RecordHistory history;
    if (wbtrv::client::File* file = historyFiles_.file(table))
        history = readRecordHistory(*file, historyFiles_.path(table), table, number);
    else
        history.state = QStringLiteral("%1 could not be opened (status %2).")
                            .arg(QString::fromStdString(historyFiles_.path(table)))
                            .arg(historyFiles_.openStatus(table));
    history.table = table;
    history.number = number;
    history_->list(std::move(history), entryOf(table).caption, editor(table).editable());
}

// Re-reads the record through the tab's block, so that the Update refuses (80) a
// change made after this read; a change made since the history was read is refused
// the same way, with the record as it now is on the tab.
void MainWindow::revertRecord(const RecordHistory& history, const HistoryRow& row) {
    const TableId table = history.table;
    auto& block = files_.block(table);
    if (!editor(table).editable() || !history.found || !row.version || row.version->size() != block.row.size()) return;
    const QString number = QString::number(history.number);
    if (dialogs_.message(QStringLiteral("Write record %1 as entry %2 left it over the record as it is now?")
                             .arg(number)
                             .arg(row.sequence),
                         QStringLiteral("Revert Record ") + number + QLatin1Char('?'),
                         editors::Buttons::YesNo) != editors::Answer::Yes)
        return;
    if (!showFound(table, history.number)) {
        listHistory(table, history.number);
        return;
    }
    if (!std::ranges::equal(block.row, history.current)) {
        store_.check(B_CONFLICT, "Error on BUPDATE: ");
    } else {
        const store::BlockBuffers before(block);
        block.row = *row.version;
        if (store_.check(store_.onTable(B_UPDATE, block), "Error on BUPDATE: ")) {
            showRow(block);
            txtStatus_->setText(revertedLine(table, history.number, row.sequence, block.row));
        } else {
            before.restore(block);
        }
    }
    listHistory(table, history.number);
}

}  // namespace ui
