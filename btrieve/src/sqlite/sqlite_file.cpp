#include "sqlite/sqlite_file.h"

#include "core/key_sql.h"
#include "sqlite/commit_failure.h"
#include "sqlite/file_access.h"
#include "sqlite/schema.h"
#include "sqlite/sqlite_keys.h"
#include "sqlite/sqlite_owner.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {

// One write under the file's write lock. BEGIN IMMEDIATE takes the lock up
// front, so the record compared inside cannot change before the write. A
// write on its own commits when it is done and is rolled back otherwise, also
// when the call leaves by an exception; inside the process's transaction it
// opens the SQLite transaction if it is the first and leaves commit and
// rollback to the transaction's end (each write is one statement, which
// SQLite undoes alone when it fails, the journal's entry included). A change
// of records is refused while the journal cannot take its entry; the first
// puts the journal's triggers on the connection.
class SqliteFile::Write {
public:
    explicit Write(SqliteFile& file, bool ofRecords = true) : file_(file) {
        if (file.broken_)
            began_ = B_IO_ERROR;
        else if (ofRecords && file.layout_.journalKept)
            began_ = file.journal_.readyToWrite();
        if (began_ == B_NO_ERROR && sqlite3_get_autocommit(file.db_.get())) began_ = file.step(file.begin_);
    }
    Write(const Write&) = delete;
    Write& operator=(const Write&) = delete;
    ~Write() {
        if (began_ == B_NO_ERROR && !finished_ && !file_.inTransaction()) file_.step(file_.rollback_);
    }
    int began() const { return began_; }

    // Ends the write that answered `status`: commits a write on its own that succeeded.
    int finish(int status) {
        if (file_.inTransaction() || status != B_NO_ERROR) return status;
        finished_ = true;
        status = file_.step(file_.commit_);
        if (status == B_NO_ERROR) return status;
        if (commitMayLinger(sqlite3_extended_errcode(file_.db_.get())))
            file_.broken_ = !discardRefusedCommit(file_.db_);
        else if (!sqlite3_get_autocommit(file_.db_.get()))
            file_.step(file_.rollback_);
        return status;
    }

private:
    SqliteFile& file_;
    int began_ = B_NO_ERROR;
    bool finished_ = false;
};

int SqliteFile::open(const Engine& engine, const std::string& path, bool exclusive, std::unique_ptr<StoredFile>& out) {
    std::unique_ptr<SqliteFile> file(new SqliteFile);
    file->path_ = path;
    int status = file->lock_.acquire(path, exclusive);
    if (status != B_NO_ERROR) return status;
    file->identity_ = identityOf(engine, file->lock_.identity());
    // Identified before anything can write to it: a file that is not ours
    // stays as it was, its journal files included.
    std::string why;
    if ((status = identifyDataFile(path, file->layout_, why)) != B_NO_ERROR) return status;
    if (journalOfAnotherFile(path, file->lock_.identity())) return B_FILE_IN_USE;
    if ((status = connectDataFile(file->db_, path, file->readOnly_)) != B_NO_ERROR) return status;
    // Read again as the file now is: a change of its keys or owner may still
    // be in its log, which the first look did not read.
    if ((status = readLayout(file->db_, file->layout_, why)) != B_NO_ERROR) return status;
    if ((status = readOwner(file->db_, file->owner_, why)) != B_NO_ERROR) return status;
    if (!file->readOnly_) file->recordLocks_.open(path);
    sqlite3_busy_handler(file->db_.get(), &LockWait::retry, &file->lockWait_);
    // The journal mode is the file's own (ours are created in WAL mode); every
    // commit is synced before it is acknowledged. A page cache of up to 16 MiB
    // lets the pages of a file of some 100,000 records stay in memory between calls.
    if (const int rc = file->db_.exec("PRAGMA synchronous=FULL; PRAGMA cache_size=-16384"); rc != SQLITE_OK)
        return statusFromSqlite(rc);
    if ((status = file->prepareForLayout()) != B_NO_ERROR) return status;
    out = std::move(file);
    return B_NO_ERROR;
}

SqliteFile::~SqliteFile() {
    // SQLite leaves the log of a file that was renamed away or replaced where
    // it is, under the name the file had; the next file of that name would
    // have it applied. Emptying it here (its changes go into this file) keeps
    // them apart; where other connections still read it, the last closes it.
    if (db_.get() && !readOnly_ && moved(path_, lock_.identity())) db_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

int SqliteFile::prepareForLayout() {
    const std::size_t keys = layout_.keys.size();
    queries_.clear();
    queries_.resize(keys);
    highest_.clear();
    highest_.resize(keys);
    rank_.clear();
    rank_.resize(keys + 1);
    atRank_.clear();
    atRank_.resize(keys + 1);
    batchWalks_.clear();  // walks along key columns that may have gone
    return prepareFixed();
}

int SqliteFile::prepareFixed() {
    std::string columns, values, assignments;
    for (std::size_t k = 0; k < layout_.keys.size(); ++k) {
        if (layout_.keys[k].absent()) continue;
        columns += ", " + keyColumn(k);
        values += ", ?" + std::to_string(k + 2);
        assignments += ", " + keyColumn(k) + " = ?" + std::to_string(k + 2);
    }
    const std::pair<Statement*, std::string> fixed[] = {
        {&begin_, "BEGIN IMMEDIATE"},
        {&commit_, "COMMIT"},
        {&rollback_, "ROLLBACK"},
        {&insert_, "INSERT INTO data_t(data" + columns + ") VALUES(?1" + values + ")"},
        {&update_,
         "UPDATE data_t SET data = ?1" + assignments + " WHERE id = ?" + std::to_string(layout_.keys.size() + 2)},
        {&delete_, "DELETE FROM data_t WHERE id = ?1"},
        {&byId_, "SELECT id, data FROM data_t WHERE id = ?1"},
        {&count_, "SELECT count(*) FROM data_t"},
        {&stepNext_, "SELECT id, data FROM data_t WHERE id > ?1 ORDER BY id LIMIT 1"},
        {&stepPrevious_, "SELECT id, data FROM data_t WHERE id < ?1 ORDER BY id DESC LIMIT 1"},
    };
    for (const auto& [statement, sql] : fixed) {
        const int rc = statement->prepare(db_.get(), sql);
        if (rc != SQLITE_OK) return statusFromSqlite(rc) == B_NO_ERROR ? B_IO_ERROR : statusFromSqlite(rc);
    }
    return B_NO_ERROR;
}

Statement& SqliteFile::query(std::size_t key, KeyQuery which) {
    Statement& st = queries_[key][static_cast<std::size_t>(which)];
    if (!st.prepared()) st.prepare(db_.get(), keyQuerySql(key, which, "data_t", '?'));
    return st;
}

void SqliteFile::bindKey(Statement& st, int index, std::size_t key, const KeyValue& value) {
    if (value.null)
        st.bindNull(index);
    else if (layout_.keys[key].integerColumn())
        st.bindInteger(index, value.integer);
    else
        st.bindBlob(index, value.encoded);
}

void SqliteFile::bindKeys(Statement& st, int firstIndex, std::span<const KeyValue> keys) {
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (!layout_.keys[k].absent()) bindKey(st, firstIndex + static_cast<int>(k), k, keys[k]);
}

int SqliteFile::step(Statement& st) {
    if (!st.prepared()) return B_IO_ERROR;
    const int rc = st.step();
    st.reset();
    return statusFromSqlite(rc);
}

// Reads the id and data of the row a statement selects.
int SqliteFile::readRow(Statement& st, Record& out) {
    if (broken_ || !st.prepared()) return B_IO_ERROR;
    const int rc = st.step();
    if (rc == SQLITE_DONE) return B_END_OF_FILE;
    if (rc != SQLITE_ROW) return statusFromSqlite(rc);
    if (st.typeAt(1) != SQLITE_BLOB) return B_IO_ERROR;
    out.id = st.integerAt(0);
    const auto bytes = st.blobAt(1);
    out.data.assign(bytes.begin(), bytes.end());
    return B_NO_ERROR;
}

int SqliteFile::readAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                          KeyValue& stored) {
    Statement& st = query(key, which);
    StatementUse use(st);
    if (which != KeyQuery::First && which != KeyQuery::Last && st.prepared()) {
        bindKey(st, 1, key, value);
        use->bindInteger(2, id);
    }
    const int status = readRow(st, out);
    if (status == B_NO_ERROR && !readKeyColumn(st, 2, layout_.keys[key], stored)) return B_IO_ERROR;
    return status;
}

int SqliteFile::readAt(RowQuery which, std::int64_t id, Record& out) {
    Statement& st = which == RowQuery::After ? stepNext_ : which == RowQuery::Before ? stepPrevious_ : byId_;
    StatementUse use(st);
    use->bindInteger(1, id);
    return readRow(st, out);
}

int SqliteFile::count(std::uint64_t& records) {
    if (broken_) return B_IO_ERROR;
    StatementUse use(count_);
    const int rc = count_.step();
    if (rc != SQLITE_ROW) return statusFromSqlite(rc);
    records = static_cast<std::uint64_t>(count_.integerAt(0));
    return B_NO_ERROR;
}

int SqliteFile::highestValue(std::size_t key, std::int64_t& value) {
    Statement& st = highest_[key];
    if (!st.prepared()) st.prepare(db_.get(), highestValueSql(key, "data_t"));
    StatementUse use(st);
    if (!st.prepared()) return B_IO_ERROR;
    const int rc = st.step();
    if (rc != SQLITE_ROW) return statusFromSqlite(rc);
    value = st.typeAt(0) == SQLITE_NULL ? 0 : st.integerAt(0);
    return B_NO_ERROR;
}

int SqliteFile::insertRecord(std::vector<std::uint8_t>& record, std::int64_t& id) {
    const auto highest = [this](std::size_t key, std::int64_t& value) { return highestValue(key, value); };
    if (const int status = layout_.readyToInsert(record, keys_, highest); status != B_NO_ERROR) return status;
    StatementUse use(insert_);
    use->bindBlob(1, record);
    bindKeys(insert_, 2, keys_);
    const int status = step(insert_);
    if (status == B_NO_ERROR) id = sqlite3_last_insert_rowid(db_.get());
    return status;
}

int SqliteFile::insert(std::vector<std::uint8_t>& record, std::int64_t& id) {
    Write write(*this);
    if (write.began() != B_NO_ERROR) return write.began();
    return write.finish(insertRecord(record, id));
}

// One write transaction for all, one commit: a record that fails is undone alone (its
// statement), and the ones before it are committed.
int SqliteFile::insertBatch(std::span<std::vector<std::uint8_t>> records, std::vector<std::int64_t>& ids) {
    ids.clear();
    Write write(*this);
    if (write.began() != B_NO_ERROR) return write.began();
    int status = B_NO_ERROR;
    for (std::vector<std::uint8_t>& record : records) {
        std::int64_t id = 0;
        if ((status = insertRecord(record, id)) != B_NO_ERROR) break;
        ids.push_back(id);
    }
    if (const int committed = write.finish(B_NO_ERROR); committed != B_NO_ERROR) {
        ids.clear();
        return committed;
    }
    return status;
}

int SqliteFile::matchesStored(std::int64_t id, std::span<const std::uint8_t> expected) {
    StatementUse use(byId_);
    use->bindInteger(1, id);
    const int status = readRow(byId_, stored_);
    if (status == B_END_OF_FILE) return B_CONFLICT;
    if (status != B_NO_ERROR) return status;
    return std::ranges::equal(stored_.data, expected) ? B_NO_ERROR : B_CONFLICT;
}

// The record's lock is looked at first; the comparison and the write then
// happen under the write lock, so the record cannot change between them.
int SqliteFile::compareAndWrite(const CompareAndWrite& change) {
    using enum CompareAndWrite::Write;
    if (recordLocks_.holder(change.id)) return B_RECORD_IN_USE;
    if (change.write == Nothing) return matchesStored(change.id, change.expected);
    Write write(*this);
    if (write.began() != B_NO_ERROR) return write.began();
    int status = matchesStored(change.id, change.expected);
    if (status != B_NO_ERROR) return write.finish(status);
    Statement& st = change.write == Update ? update_ : delete_;
    StatementUse use(st);
    if (change.write == Update) {
        use->bindBlob(1, change.record);
        bindKeys(st, 2, change.keys);
        use->bindInteger(static_cast<int>(change.keys.size()) + 2, change.id);
    } else {
        use->bindInteger(1, change.id);
    }
    status = step(st);
    return write.finish(status);
}

int SqliteFile::journalState(JournalState& out) {
    out = JournalState{};
    if (broken_) return B_IO_ERROR;
    out.kept = layout_.journalKept;
    out.damaged = out.kept && journal_.damaged();
    if (!out.kept) return B_NO_ERROR;
    const int status = journal_.state(out);
    // A damaged journal is reported as such, with whatever of it can be counted.
    return status != B_NO_ERROR && out.damaged ? B_NO_ERROR : status;
}

int SqliteFile::readJournal(const JournalQuery& query, const JournalSink& sink) {
    if (broken_) return B_IO_ERROR;
    return layout_.journalKept ? journal_.read(query, layout_, sink) : B_NO_ERROR;
}

// A file without a journal, or with a damaged one, gets the tables it lacks
// (and the format of a file with a journal) in the same transaction that
// switches it; this connection then journals too.
int SqliteFile::switchJournal(bool on) {
    if (readOnly_) return B_ACCESS_DENIED;
    if (!on && !layout_.journalKept) return B_NO_ERROR;
    const bool making = !layout_.journalKept || journal_.damaged();
    Write write(*this, false);
    if (write.began() != B_NO_ERROR) return write.began();
    int status = B_NO_ERROR;
    if (making)
        status = statusFromSqlite(
            db_.exec(journalTablesSql() + "UPDATE metadata_t SET version = " + std::to_string(kFormatVersion)));
    else if (on)  // an index lost from a journal is made again
        status = statusFromSqlite(db_.exec(journalIndexesSql()));
    if (status == B_NO_ERROR) status = journal_.switchOn(on);
    if ((status = write.finish(status)) != B_NO_ERROR || !making) return status;
    layout_.journalKept = true;
    journal_.forget();
    return journal_.readyToWrite();
}

int SqliteFile::pruneJournal(const JournalPrune& prune, std::uint64_t& removed) {
    removed = 0;
    if (readOnly_) return B_ACCESS_DENIED;
    if (!layout_.journalKept) return B_NO_ERROR;
    Write write(*this, false);
    if (write.began() != B_NO_ERROR) return write.began();
    return write.finish(journal_.prune(prune, removed));
}

int SqliteFile::finishTransaction(bool commit) {
    int status = B_NO_ERROR;
    if (!sqlite3_get_autocommit(db_.get())) {
        status = step(commit ? commit_ : rollback_);
        // A commit that failed leaves nothing half-done: what was written is undone.
        if (status != B_NO_ERROR && !sqlite3_get_autocommit(db_.get())) step(rollback_);
    }
    return status;
}

}  // namespace wbtrv
