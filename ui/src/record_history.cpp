#include "ui/record_history.h"

#include <QDateTime>
#include <array>

#include <wbtrv32/bytes.h>

#include "gamedata/record_changes.h"

namespace ui {
namespace {

namespace client = wbtrv::client;

QString utf8(const std::string& text) { return QString::fromStdString(text); }

// The entry's time in the local time of the machine, to the second.
QString localTime(std::int64_t microseconds) {
    return QDateTime::fromMSecsSinceEpoch(microseconds / 1000)
        .toLocalTime()
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// Every field of a record by name, a line each, as the dump names them.
QString fieldLines(const gamedata::RecordComparer& comparer, std::span<const std::uint8_t> record) {
    const auto fields = comparer.fields(record);
    if (!fields) return QStringLiteral("(not a record of this file: %1 bytes)").arg(record.size());
    QString text;
    for (const auto& [name, value] : fields->items())
        if (!(value.is_object() && value.empty()))  // no text held in an unusual form
            text += utf8(name) + QStringLiteral(": ") + utf8(gamedata::valueText(value)) + QLatin1Char('\n');
    return text;
}

HistoryRow rowOf(const client::JournalEntry& entry, const gamedata::RecordComparer& comparer) {
    HistoryRow row;
    row.sequence = entry.sequence;
    row.text = QString::number(entry.sequence) + QStringLiteral("  ") + localTime(entry.time) + QStringLiteral("  ");
    if (entry.damaged) row.text += QStringLiteral("damaged entry, ");
    row.text += utf8(std::string(gamedata::operationName(entry.operation))) + QStringLiteral("  ") +
                utf8(gamedata::whoText(entry));
    if (entry.before && entry.after) {
        const auto changed = comparer.compare(entry.before, entry.after);
        if (!changed.empty()) row.text += QStringLiteral("  ") + utf8(changed.text());
    }
    if (!entry.damaged) row.version = entry.after ? entry.after : entry.before;
    if (row.version) row.fields = fieldLines(comparer, *row.version);
    return row;
}

// What the window says of the journal above the entries it lists.
QString stateText(const client::JournalState& state, client::Status readStatus, const QString& file, std::size_t rows,
                  std::int32_t number) {
    const QString listed = QString::number(rows) +
                           (rows == 1 ? QStringLiteral(" change") : QStringLiteral(" changes")) +
                           QStringLiteral(" of record ") + QString::number(number);
    if (readStatus != B_NO_ERROR)
        return QStringLiteral("The journal of %1 could not be read whole (status %2); %3 read.")
            .arg(file)
            .arg(readStatus)
            .arg(listed);
    if (state.damaged) return QStringLiteral("The journal of %1 is damaged; %2 could be read.").arg(file, listed);
    if (!state.on)
        return QStringLiteral("The journal of %1 is off: changes are not recorded. %2 recorded before.")
            .arg(file, listed);
    return listed + QStringLiteral(" in the journal of ") + file + QLatin1Char('.');
}

}  // namespace

RecordHistory readRecordHistory(client::File& file, const std::string& fileName, records::TableId table,
                                std::int32_t number) {
    RecordHistory history;
    history.table = table;
    history.number = number;
    const QString name = utf8(fileName);
    const records::TableFile& tableFile = records::tableFile(table);
    std::array<std::uint8_t, 4> key{};
    wbtrv::writeLittleEndian(key.data(), 4, static_cast<std::uint32_t>(number));
    client::Status status = file.find(client::Find::Equal, 0, std::span(key).first(tableFile.numberWidth));
    client::Position position{};
    if (status == B_NO_ERROR) history.current.assign(file.record().begin(), file.record().end());
    if (status == B_NO_ERROR) status = file.getPosition(position);
    if (status != B_NO_ERROR) {
        history.state =
            QStringLiteral("Record %1 of %2 could not be read (status %3).").arg(number).arg(name).arg(status);
        return history;
    }
    history.found = true;
    history.position = client::recordAt(position);
    client::JournalState state;
    if (status = client::journalState(fileName, state); status != B_NO_ERROR) {
        history.state = QStringLiteral("The journal of %1 could not be read (status %2).").arg(name).arg(status);
        return history;
    }
    if (!state.kept) {
        history.state = name + QStringLiteral(
                                   " keeps no journal (a file of an earlier version; "
                                   "'grimstore journal on' gives it one).");
        return history;
    }
    client::JournalQuery query;
    query.record = history.position;
    const gamedata::RecordComparer comparer(fileName, tableFile.recordLength);
    status = client::readJournal(fileName, query, [&](client::JournalEntry&& entry) {
        history.rows.push_back(rowOf(entry, comparer));
        return true;
    });
    history.state = stateText(state, status, name, history.rows.size(), number);
    return history;
}

}  // namespace ui
