// The journal of changes of a file on a server: the table wbtrv_journal_N
// beside the file's record table, written by triggers on the record table
// (wbtrv_journal, wbtrv_journal_update, wbtrv_journal_delete), once per
// statement, in the same statement as every change. The triggers' function
// runs as the owner of the tables, so a role that may change the records
// needs no right of its own on the journal; the view wbtrv_journal_view_N
// shows the journal to every role that may read the record table, and to no
// other. The journal is switched on and off by enabling and disabling the
// triggers, so off costs nothing.
#pragma once

#include "core/journal.h"
#include "server/pg_connection.h"

#include <cstdint>
#include <string>

namespace wbtrv {

// Makes (or remakes, where a part is missing) the journal of file `id`, whose
// record table exists, in the open transaction: 0 or a status.
int makeServerJournal(PgConnection& db, std::int64_t id);
// The state of the journal's triggers on `table` (an SQL expression of the
// record table's oid): "O" or "A" on, "D" off, NULL when one is missing. A
// journal made by an earlier version has one trigger for every row.
std::string journalTriggerStateSql(const std::string& table);
// The SQL that drops the journal of file `id`, its record table dropped first.
std::string dropServerJournalSql(std::int64_t id);

// The SQL that reads a file's journal, built once per file like its other statements.
struct JournalStatements {
    JournalStatements(std::int64_t id, Oid table);

    // $1 the cursor, $2 the first sequence number, $3 the most rows, $4 the
    // record: entries in the order of the name.
    Prepared newest, newestOfRecord, oldest, oldestOfRecord;
    // $1 a time: the first sequence number of an entry of that time or later.
    Prepared firstSince;
    // Whether the trigger is there and enabled ("O" or "A" on, "D" off, NULL
    // missing), whether the view is there, and whether this role may read
    // the record table, and so the journal.
    Prepared parts;
    // The first and last sequence numbers and times (each found by the index, never by counting rows).
    Prepared counts;
    // $1 a time, or a count to keep: the entries pruned.
    Prepared pruneBefore, pruneKeeping;
    // Enables or disables the triggers.
    std::string enable, disable;
    // 1 when the triggers are this version's (one per kind of change, run once per statement).
    std::string triggersCurrent;
};

// The entry a row of a journal statement holds, checked.
JournalEntry journalEntryAt(const PgResult& r, int row, const FileLayout& layout);

}  // namespace wbtrv
