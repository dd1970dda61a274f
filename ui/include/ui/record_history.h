// One record's history as the History window shows it: the record as it is now,
// read through a read-only block of the window's own, the state of its file's
// journal, and the record's entries, newest first, each with the fields it changed
// (named through the record descriptions, as grimstore history names them) and the
// whole record as that change left it.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include <wbtrv32/client.h>

#include "records/tables.h"

namespace ui {

struct HistoryRow {
    std::uint64_t sequence = 0;
    QString text;  // "13  2026-03-07 11:05:30  update  alice@desk (grimedit)  CP 40 → 47"
    // The record as the change left it (for a delete: as it was deleted); none for a damaged entry.
    std::optional<std::vector<std::uint8_t>> version;
    QString fields;  // that version, a field a line: "CP: 47"
};

struct RecordHistory {
    records::TableId table = records::TableId::Races;
    std::int32_t number = 0;
    std::int64_t position = 0;          // the record's position, as the journal names it
    std::vector<std::uint8_t> current;  // the record as it was when the history was read
    bool found = false;                 // the record could be read; else nothing below is there
    QString state;                      // what the window says above the list
    std::vector<HistoryRow> rows;
};

// Reads record `number` of the table through `file` (the window's own read-only
// block on fileName), then its history from the file's journal.
RecordHistory readRecordHistory(wbtrv::client::File& file, const std::string& fileName, records::TableId table,
                                std::int32_t number);

}  // namespace ui
