// The SQL of one file on a server, built once when the file is opened from
// its number, layout and table: only the file's own table name and numbers
// go into the text, every value is a parameter. Each statement is prepared
// on the connection the first time it runs there, under a name that is the
// file's own (a statement that reads no table of the file has a name shared
// by every file, its text being the same).
#pragma once

#include "core/file_layout.h"
#include "core/record.h"
#include "server/pg_connection.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace wbtrv {

struct FileStatements {
    FileStatements(std::int64_t number, const FileLayout& layout, Oid table);

    // The file's record table and the prefix of its statements' names.
    std::string tableName, prefix;

    // $1 a key value, $2 a record id; id, data and the key column.
    std::vector<std::array<Prepared, kKeyQueries>> along;
    // The highest value of an integer key's column.
    std::vector<Prepared> highest;
    // $1 a record id; id and data.
    Prepared after, before, exact;
    Prepared count;
    // $1 a key value (or a record id): rankSql and atRankSql, per key and, last, by id.
    std::vector<Prepared> rank, atRank;
    // $1 the record, then one value per key: a new record's id is the
    // highest plus 1; insertNext takes it as its last parameter instead. A
    // duplicate key inserts no row rather than raising an error, which would
    // end the process's transaction on the server.
    Prepared insert, insertNext;
    // The guarded writes: $1 the record and one value per key (Update only),
    // then the id and the bytes expected; then the record's lock key, the
    // file's lock class and its write lock's slot. The row changes only while
    // it holds the bytes expected and no other process holds its lock, under
    // the file's write lock taken in the statement.
    Prepared update, remove;
    // Taking the file's write lock in one round trip (simple query protocol),
    // alone or with the highest value of key k: [0] opens the session's
    // transaction with it; [1] takes it inside the transaction another file
    // opened, in a savepoint, so that a wait that fails (85, or 78 when the
    // server sees a circle of waits across files) undoes only itself.
    std::array<std::string, 2> holdFile;
    std::vector<std::array<std::string, 2>> holdFileAndHighest;
    // Insert Extended: a savepoint, then a COPY of the rows (id, data, one
    // value per key) in binary form.
    std::string copyRows;
    // One array per unique key, of the batch's values of that key in order:
    // the first row (from 1) whose value repeats one stored or one of an
    // earlier row, NULL when none does. Empty for a file without unique keys.
    Prepared firstRepeat;
    // The highest id (0 in an empty file) and the highest value of each
    // autoincrement key (NULL for the other keys or an empty file), alone or
    // taking the file's write lock as holdFile does.
    Prepared highestAll;
    std::array<std::string, 2> holdFileAndHighestAll;
    // Batched reads, by the text of their shape (server/batch_sql.h): a name
    // for each of the first shapes a file meets; none for later ones, which
    // run unprepared so that a caller cannot fill the server with statements.
    const std::string* batchName(const std::string& sql);

    // Record locks (session advisory locks, one int8 key per record): $1 the key.
    Prepared lockRecord, unlockRecord, recordHeld;
    // $1 and $2 the high and low halves of a record's lock key: the session holding it.
    Prepared recordHolder;
    // $1 the file's lock class, $2 the slot of the awaited record.
    Prepared announceWait, endWait;
    // $1 the file's lock class, $2 a session, $3 the first wait slot: the slot it waits for.
    Prepared awaitedBy;

private:
    std::map<std::string, std::string> batchNames_;
};

// Undoes a failed [1] of FileStatements::holdFile.
constexpr const char* kUndoHold = "ROLLBACK TO SAVEPOINT hold; RELEASE SAVEPOINT hold";

// The prefix of the names of one file's statements on a connection.
std::string statementPrefix(std::int64_t number);

// Wait announcements take slots above the open and write locks' (kOpenLockSlot, kWriteLockSlot).
constexpr std::int64_t kFirstWaitSlot = 2;

}  // namespace wbtrv
