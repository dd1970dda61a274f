#include "data_file.h"

#include "commit_failure.h"
#include "file_access.h"
#include "layout_checks.h"
#include "schema.h"

#include <wbtrv32/bytes.h>

#include <wbtrv32/btrieve.h>

#include <unistd.h>

#include <algorithm>

namespace wbtrv {

// A write transaction that rolls back unless committed. BEGIN IMMEDIATE takes
// the write lock up front, so the record compared inside cannot change before
// the write. A file whose connection can no longer be trusted refuses it.
// Inside the process's transaction it joins the SQLite transaction already
// open (or opens it) and leaves commit and rollback to its end: each write is
// one statement, which SQLite undoes alone when it fails.
class Transaction {
public:
    explicit Transaction(DataFile& file) : file_(file), own_(!file.inTransaction_) {
        if (file_.broken_)
            status_ = B_IO_ERROR;
        else if (own_ || sqlite3_get_autocommit(file_.db_.get()))
            status_ = file_.step(file_.begin_);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction() {
        if (own_ && status_ == B_NO_ERROR && !committed_) file_.step(file_.rollback_);
    }
    int began() const { return status_; }
    int commit() {
        const int status = own_ ? file_.step(file_.commit_) : B_NO_ERROR;
        committed_ = status == B_NO_ERROR;
        if (!committed_ && commitMayLinger(sqlite3_extended_errcode(file_.db_.get()))) {
            committed_ = true;  // rolled back below
            file_.broken_ = !discardRefusedCommit(file_.db_);
        }
        return status;
    }

private:
    DataFile& file_;
    bool own_;
    int status_ = B_NO_ERROR;
    bool committed_ = false;
};

int DataFile::open(const std::string& path, bool exclusive, std::unique_ptr<DataFile>& out) {
    std::unique_ptr<DataFile> file(new DataFile);
    file->exclusive_ = exclusive;
    file->path_ = path;
    int status = file->lock_.acquire(path, exclusive);
    if (status != B_NO_ERROR) return status;
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

DataFile::~DataFile() {
    // SQLite leaves the log of a file that was renamed away or replaced where
    // it is, under the name the file had; the next file of that name would
    // have it applied. Emptying it here (its changes go into this file) keeps
    // them apart; where other connections still read it, the last closes it.
    if (db_.get() && !readOnly_ && moved(path_, identity())) db_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

int DataFile::prepareFixed() {
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

Statement& DataFile::query(std::size_t key, KeyQuery which) {
    Statement& st = queries_[key][static_cast<std::size_t>(which)];
    if (!st.prepared()) st.prepare(db_.get(), keyQuerySql(key, which));
    return st;
}

void DataFile::bindKey(Statement& st, int index, std::size_t key, const KeyValue& value) {
    if (value.null)
        st.bindNull(index);
    else if (layout_.keys[key].integerColumn())
        st.bindInteger(index, value.integer);
    else
        st.bindBlob(index, value.encoded);
}

int DataFile::step(Statement& st) {
    if (!st.prepared()) return B_IO_ERROR;
    const int rc = st.step();
    st.reset();
    return statusFromSqlite(rc);
}

int DataFile::readRow(Statement& st, std::size_t key, Record& out) {
    if (!st.prepared()) return B_IO_ERROR;
    const int rc = st.step();
    if (rc == SQLITE_DONE) return B_END_OF_FILE;
    if (rc != SQLITE_ROW) return statusFromSqlite(rc);
    out.id = st.integerAt(0);
    const auto bytes = st.blobAt(1);
    // A damaged record is refused where it is met: a short one would be read
    // past its end, and one whose key column disagrees with its bytes would
    // send a walk along the key round in circles (the order comes from the
    // column, the next position from the bytes).
    if (st.typeAt(1) != SQLITE_BLOB || !storedLengthSound(bytes.size(), layout_.recordLength, layout_.variableLength))
        return B_IO_ERROR;
    if (key != kNoKey) {
        const KeyDefinition& k = layout_.keys[key];
        if (!k.fitsIn(bytes) || !k.valueFromRecord(bytes, fromBytes_) || !readKeyColumn(st, 2, k, stored_) ||
            stored_ != fromBytes_)
            return B_IO_ERROR;
    }
    out.data.assign(bytes.begin(), bytes.end());
    return B_NO_ERROR;
}

int DataFile::seek(Seek how, std::size_t key, const KeyValue& value, std::int64_t id, Record& out) {
    if (broken_) return B_IO_ERROR;
    using enum KeyQuery;
    const auto along = [&](KeyQuery which) {
        Statement& st = query(key, which);
        StatementUse use(st);
        if (which != First && which != Last && st.prepared()) {
            bindKey(st, 1, key, value);
            use->bindInteger(2, id);
        }
        return readRow(st, key, out);
    };
    // A null key value has no place in the key's order: nothing is near it.
    if (how != Seek::First && how != Seek::Last && value.null) return B_END_OF_FILE;
    switch (how) {
        case Seek::First:
            return along(First);
        case Seek::Last:
            return along(Last);
        case Seek::Equal: {
            const int status = along(Equal);
            return status == B_END_OF_FILE ? B_KEY_VALUE_NOT_FOUND : status;
        }
        case Seek::Greater:
            return along(Greater);
        case Seek::GreaterOrEqual:
            return along(GreaterOrEqual);
        case Seek::Less:
            return along(Less);
        case Seek::LessOrEqual:
            return along(LessOrEqual);
        case Seek::Next:
        case Seek::Previous: {
            const bool next = how == Seek::Next;
            if (layout_.keys[key].allowsDuplicates()) {
                const int status = along(next ? NextSame : PreviousSame);
                if (status != B_END_OF_FILE) return status;
            }
            return along(next ? Greater : Less);
        }
    }
    return B_IO_ERROR;
}

int DataFile::step(bool forward, std::int64_t id, Record& out) {
    if (broken_) return B_IO_ERROR;
    Statement& st = forward ? stepNext_ : stepPrevious_;
    StatementUse use(st);
    use->bindInteger(1, id);
    return readRow(st, kNoKey, out);
}

int DataFile::read(std::int64_t id, Record& out) {
    if (broken_) return B_IO_ERROR;
    StatementUse use(byId_);
    use->bindInteger(1, id);
    const int status = readRow(byId_, kNoKey, out);
    return status == B_END_OF_FILE ? B_INVALID_RECORD_ADDRESS : status;
}

int DataFile::bindKeys(Statement& st, int firstIndex, std::span<const std::uint8_t> record) {
    bound_.resize(layout_.keys.size());
    for (std::size_t k = 0; k < layout_.keys.size(); ++k) {
        if (!layout_.keys[k].valueFromRecord(record, bound_[k])) return B_OPERATION_NOT_ALLOWED;
        bindKey(st, firstIndex + static_cast<int>(k), k, bound_[k]);
    }
    return B_NO_ERROR;
}

int DataFile::nextAutoincrement(std::size_t key, std::int64_t& value) {
    Statement& st = query(key, KeyQuery::Max);
    StatementUse use(st);
    if (!st.prepared()) return B_IO_ERROR;
    const int rc = st.step();
    if (rc != SQLITE_ROW) return statusFromSqlite(rc);
    const std::int64_t highest = st.typeAt(0) == SQLITE_NULL ? 0 : st.integerAt(0);
    value = std::max<std::int64_t>(highest, 0) + 1;
    const std::uint32_t bits = 8 * layout_.keys[key].length() - 1;
    // No value left in the key's range: the next one would repeat an existing one.
    return value < (std::int64_t{1} << bits) ? B_NO_ERROR : B_DUPLICATE_KEY_VALUE;
}

int DataFile::insert(std::vector<std::uint8_t>& record, std::int64_t& id) {
    Transaction tx(*this);
    if (tx.began() != B_NO_ERROR) return tx.began();
    for (std::size_t k = 0; k < layout_.keys.size(); ++k) {
        const KeyDefinition& key = layout_.keys[k];
        const KeySegment& seg = key.first();
        if (!key.autoincrement() || readSignedLittleEndian(record.data() + seg.offset, seg.length) != 0) continue;
        std::int64_t value = 0;
        if (const int status = nextAutoincrement(k, value); status != B_NO_ERROR) return status;
        writeLittleEndian(record.data() + seg.offset, seg.length, static_cast<std::uint64_t>(value));
    }
    {
        StatementUse use(insert_);
        use->bindBlob(1, record);
        if (const int status = bindKeys(insert_, 2, record); status != B_NO_ERROR) return status;
        if (const int status = step(insert_); status != B_NO_ERROR) return status;
    }
    id = sqlite3_last_insert_rowid(db_.get());
    return tx.commit();
}

int DataFile::matchesStored(std::int64_t id, std::span<const std::uint8_t> expected) {
    StatementUse use(byId_);
    use->bindInteger(1, id);
    const int rc = byId_.step();
    if (rc == SQLITE_DONE) return B_CONFLICT;
    if (rc != SQLITE_ROW) return statusFromSqlite(rc);
    const auto stored = byId_.blobAt(1);
    return std::ranges::equal(stored, expected) ? B_NO_ERROR : B_CONFLICT;
}

int DataFile::update(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record) {
    Transaction tx(*this);
    if (tx.began() != B_NO_ERROR) return tx.began();
    if (const int status = matchesStored(id, expected); status != B_NO_ERROR) return status;
    for (const KeyDefinition& key : layout_.keys) {
        KeyValue before, after;
        if (!key.valueFromRecord(expected, before) || !key.valueFromRecord(record, after))
            return B_OPERATION_NOT_ALLOWED;
        if (!key.modifiable() && before != after) return B_MODIFIABLE_KEY_VALUE_ERROR;
    }
    {
        StatementUse use(update_);
        use->bindBlob(1, record);
        if (const int status = bindKeys(update_, 2, record); status != B_NO_ERROR) return status;
        use->bindInteger(static_cast<int>(layout_.keys.size()) + 2, id);
        if (const int status = step(update_); status != B_NO_ERROR) return status;
    }
    return tx.commit();
}

int DataFile::remove(std::int64_t id, std::span<const std::uint8_t> expected) {
    Transaction tx(*this);
    if (tx.began() != B_NO_ERROR) return tx.began();
    if (const int status = matchesStored(id, expected); status != B_NO_ERROR) return status;
    {
        StatementUse use(delete_);
        use->bindInteger(1, id);
        if (const int status = step(delete_); status != B_NO_ERROR) return status;
    }
    return tx.commit();
}

int DataFile::finishTransaction(bool commit) {
    int status = B_NO_ERROR;
    if (!sqlite3_get_autocommit(db_.get())) {
        status = step(commit ? commit_ : rollback_);
        // A commit that failed leaves nothing half-done: what was written is undone.
        if (status != B_NO_ERROR && !sqlite3_get_autocommit(db_.get())) step(rollback_);
    }
    inTransaction_ = false;
    return status;
}

int DataFile::count(std::uint64_t& records) {
    if (broken_) return B_IO_ERROR;
    StatementUse use(count_);
    const int rc = count_.step();
    if (rc != SQLITE_ROW) return statusFromSqlite(rc);
    records = static_cast<std::uint64_t>(count_.integerAt(0));
    return B_NO_ERROR;
}

}  // namespace wbtrv
