// The journal of changes of a data file kept as an SQLite database: the
// table journal_t (one row per change), the table journal_state_t (whether
// the journal is on, and the highest sequence number ever pruned, so that
// numbers never repeat), and the TEMP triggers through which a connection
// that writes records each change in the same statement as the change: an
// entry is committed, or undone, with its change, whatever statement of this
// record manager makes it.
#pragma once

#include "core/journal.h"
#include "sqlite/sqlite_handle.h"

#include <string>

namespace wbtrv {

// The SQL that makes whatever of the journal's tables a file lacks (all of
// them in a new file), with the journal on; run inside a transaction.
std::string journalTablesSql();
// The SQL that makes whatever of the journal's indexes a journal lacks.
std::string journalIndexesSql();

class SqliteJournal {
public:
    // The journal of the file `db` is connected to, which outlives this.
    explicit SqliteJournal(Database& db) : db_(db) {}
    // The journal's tables are not as this record manager makes them: no
    // change can be journaled. Looked at once, when first asked and readable.
    bool damaged();
    // Before the first change of records through this connection, and
    // outside any transaction (which could undo them): puts on it the
    // triggers that journal every change. 0, 2 when the journal is damaged,
    // or the status of a schema that could not be read (busy: asked again next time).
    int readyToWrite();
    // The journal's tables were just made: look at them again.
    void forget() { checked_ = installed_ = false; }

    int state(JournalState& out);
    int read(const JournalQuery& query, const FileLayout& layout, const JournalSink& sink);
    // Inside the caller's write transaction: 0 or a status.
    int switchOn(bool on);
    int prune(const JournalPrune& prune, std::uint64_t& removed);

private:
    // Reads the tables' shape once it can: SQLITE_OK, or the code of the failed read.
    int check();
    // The first sequence number of an entry made at `time` or later, if any.
    int firstSince(std::int64_t time, std::optional<std::int64_t>& sequence);
    int run(Statement& st, const std::string& sql);

    Database& db_;
    bool checked_ = false, damaged_ = false, installed_ = false;
    Statement newest_, newestOfRecord_, oldest_, oldestOfRecord_, firstSince_, state_;
};

}  // namespace wbtrv
