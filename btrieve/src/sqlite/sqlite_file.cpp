#include "sqlite/sqlite_file.h"

#include "sqlite/commit_failure.h"
#include "sqlite/file_access.h"
#include "sqlite/schema.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

int SqliteFile::open(const std::string& path, bool exclusive, std::unique_ptr<DataFile>& out) {
    std::unique_ptr<SqliteFile> file(new SqliteFile);
    file->exclusive_ = exclusive;
    file->path_ = path;
    int status = file->lock_.acquire(path, exclusive);
    if (status != B_NO_ERROR) return status;
    file->identity_ = file->lock_.identity();
    // Identified before anything can write to it: a file that is not ours
    // stays as it was, its journal files included.
    std::string why;
    if ((status = identifyDataFile(path, file->layout_, why)) != B_NO_ERROR) return status;
    if (journalOfAnotherFile(path, file->identity())) return B_FILE_IN_USE;
    if ((status = connectDataFile(file->db_, path, file->readOnly_)) != B_NO_ERROR) return status;
    if (!file->readOnly_) file->recordLocks_.open(path);
    sqlite3_busy_handler(file->db_.get(), &LockWait::retry, &file->lockWait_);
    // The journal mode is the file's own (ours are created in WAL mode); every
    // commit is synced before it is acknowledged. A page cache of up to 16 MiB
    // lets the pages of a file of some 100,000 records stay in memory between calls.
    if (const int rc = file->db_.exec("PRAGMA synchronous=FULL; PRAGMA cache_size=-16384"); rc != SQLITE_OK)
        return statusFromSqlite(rc);
    if ((status = file->prepareFixed()) != B_NO_ERROR) return status;
    file->queries_.resize(file->layout_.keys.size());
    out = std::move(file);
    return B_NO_ERROR;
}

SqliteFile::~SqliteFile() {
    // SQLite leaves the log of a file that was renamed away or replaced where
    // it is, under the name the file had; the next file of that name would
    // have it applied. Emptying it here (its changes go into this file) keeps
    // them apart; where other connections still read it, the last closes it.
    if (db_.get() && !readOnly_ && moved(path_, identity())) db_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

int SqliteFile::prepareFixed() {
    std::string columns, values, assignments;
    for (std::size_t k = 0; k < layout_.keys.size(); ++k) {
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
    if (!st.prepared()) st.prepare(db_.get(), keyQuerySql(key, which));
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

int SqliteFile::step(Statement& st) {
    if (!st.prepared()) return B_IO_ERROR;
    const int rc = st.step();
    st.reset();
    return statusFromSqlite(rc);
}

void SqliteFile::bindKeys(Statement& st, int firstIndex, const std::vector<KeyValue>& keys) {
    for (std::size_t k = 0; k < keys.size(); ++k) bindKey(st, firstIndex + static_cast<int>(k), k, keys[k]);
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

int SqliteFile::fetchAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
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

int SqliteFile::fetchRow(RowQuery which, std::int64_t id, Record& out) {
    Statement& st = which == RowQuery::After ? stepNext_ : which == RowQuery::Before ? stepPrevious_ : byId_;
    StatementUse use(st);
    use->bindInteger(1, id);
    return readRow(st, out);
}

int SqliteFile::highestValue(std::size_t key, std::int64_t& value) {
    Statement& st = query(key, KeyQuery::Max);
    StatementUse use(st);
    if (!st.prepared()) return B_IO_ERROR;
    const int rc = st.step();
    if (rc != SQLITE_ROW) return statusFromSqlite(rc);
    value = st.typeAt(0) == SQLITE_NULL ? 0 : st.integerAt(0);
    return B_NO_ERROR;
}

int SqliteFile::insertRow(std::span<const std::uint8_t> record, const std::vector<KeyValue>& keys, std::int64_t& id) {
    StatementUse use(insert_);
    use->bindBlob(1, record);
    bindKeys(insert_, 2, keys);
    if (const int status = step(insert_); status != B_NO_ERROR) return status;
    id = sqlite3_last_insert_rowid(db_.get());
    return B_NO_ERROR;
}

// The write lock is held: the record compared cannot change before the write.
int SqliteFile::updateRow(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record,
                          const std::vector<KeyValue>& keys) {
    if (const int status = matchesStored(id, expected); status != B_NO_ERROR) return status;
    StatementUse use(update_);
    use->bindBlob(1, record);
    bindKeys(update_, 2, keys);
    use->bindInteger(static_cast<int>(keys.size()) + 2, id);
    return step(update_);
}

int SqliteFile::deleteRow(std::int64_t id, std::span<const std::uint8_t> expected) {
    if (const int status = matchesStored(id, expected); status != B_NO_ERROR) return status;
    StatementUse use(delete_);
    use->bindInteger(1, id);
    return step(delete_);
}

// BEGIN IMMEDIATE takes the write lock up front, so the record compared
// inside cannot change before the write. A file whose connection can no
// longer be trusted refuses it. Inside the process's transaction a write
// joins the SQLite transaction already open (or opens it) and leaves commit
// and rollback to its end: each write is one statement, which SQLite undoes
// alone when it fails.
int SqliteFile::beginWrite(bool own) {
    if (broken_) return B_IO_ERROR;
    return own || sqlite3_get_autocommit(db_.get()) ? step(begin_) : B_NO_ERROR;
}

int SqliteFile::commitWrite(bool own) {
    const int status = own ? step(commit_) : B_NO_ERROR;
    if (status != B_NO_ERROR) {
        if (commitMayLinger(sqlite3_extended_errcode(db_.get())))
            broken_ = !discardRefusedCommit(db_);
        else
            abandonWrite(own);
    }
    return status;
}

void SqliteFile::abandonWrite(bool own) {
    if (own && !sqlite3_get_autocommit(db_.get())) step(rollback_);
}

int SqliteFile::finishWrites(bool commit) {
    int status = B_NO_ERROR;
    if (!sqlite3_get_autocommit(db_.get())) {
        status = step(commit ? commit_ : rollback_);
        // A commit that failed leaves nothing half-done: what was written is undone.
        if (status != B_NO_ERROR && !sqlite3_get_autocommit(db_.get())) step(rollback_);
    }
    return status;
}

int SqliteFile::count(std::uint64_t& records) {
    if (broken_) return B_IO_ERROR;
    StatementUse use(count_);
    const int rc = count_.step();
    if (rc != SQLITE_ROW) return statusFromSqlite(rc);
    records = static_cast<std::uint64_t>(count_.integerAt(0));
    return B_NO_ERROR;
}

}  // namespace wbtrv
