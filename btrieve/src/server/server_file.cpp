#include "server/server_file.h"

#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>
#include <charconv>

namespace wbtrv {
// One write. On its own it runs in a transaction of its own on the server
// (an Update or Delete in its one statement, an Insert between the opening
// that takes the write lock and COMMIT), rolled back unless committed, also
// when the call leaves by an exception. Inside the process's transaction it
// is part of the server's transaction, which End commits.
class ServerFile::Write {
public:
    explicit Write(ServerFile& file) : file_(file) {}
    Write(const Write&) = delete;
    Write& operator=(const Write&) = delete;
    ~Write() {
        if (!file_.inTransaction() && file_.db_.inTransaction()) file_.db_.run("ROLLBACK");
    }
    int commit() {
        if (file_.inTransaction() || !file_.db_.inTransaction()) return B_NO_ERROR;
        return file_.db_.run("COMMIT");
    }

private:
    ServerFile& file_;
};

ServerFile::ServerFile(std::shared_ptr<PgConnection> db, std::int64_t number, const FileLayout& layout, Oid table)
    : connection_(std::move(db)),
      db_(*connection_),
      tableOid_(table),
      number_(number),
      statements_(number, layout, table),
      journal_(number, table) {
    layout_ = layout;
}

int ServerFile::open(const Engine& engine, std::shared_ptr<PgConnection> db, const std::string& name, bool exclusive,
                     std::unique_ptr<StoredFile>& out) {
    std::int64_t number = 0;
    if (const int status = findServerFile(*db, name, number); status != B_NO_ERROR) return status;
    FileLayout layout;
    Oid table = 0;
    bool writable = false, journalDamaged = false;
    std::string why;
    if (const int status = readServerLayout(*db, number, layout, table, writable, journalDamaged, why);
        status != B_NO_ERROR)
        return status;
    PgResult r;
    const int status = db->run(
        nullptr, exclusive ? "SELECT pg_try_advisory_lock($1, $2)" : "SELECT pg_try_advisory_lock_shared($1, $2)",
        PgParams().integer4(lockClass(table)).integer4(kOpenLockSlot), r);
    if (status != B_NO_ERROR) return status;
    if (r.integerAt(0, 0) == 0) return B_FILE_IN_USE;
    std::unique_ptr<ServerFile> file(new ServerFile(std::move(db), number, layout, table));
    file->identity_ = {&engine, name};
    file->readOnly_ = !writable;
    file->journalDamaged_ = journalDamaged;
    out = std::move(file);
    return B_NO_ERROR;
}

void ServerFile::addKey(PgParams& params, std::size_t key, const KeyValue& value) const {
    const bool integer = layout_.keys[key].integerColumn();
    if (value.null)
        params.null(integer ? kInt8Oid : kByteaOid);
    else if (integer)
        params.integer(value.integer);
    else
        params.bytes(value.encoded);
}

PgParams ServerFile::keyParams(std::span<const std::uint8_t> record, std::span<const KeyValue> keys) const {
    PgParams params;
    params.bytes(record);
    for (std::size_t k = 0; k < keys.size(); ++k) addKey(params, k, keys[k]);
    return params;
}

int ServerFile::readRow(int status, Record& out) {
    if (status != B_NO_ERROR) return status;
    if (result_.rows() == 0) return B_END_OF_FILE;
    if (result_.typeAt(1) != kByteaOid || result_.isNull(0, 1)) return B_IO_ERROR;
    out.id = result_.integerAt(0, 0);
    const auto bytes = result_.bytesAt(0, 1);
    out.data.assign(bytes.begin(), bytes.end());
    return B_NO_ERROR;
}

int ServerFile::readAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                          KeyValue& stored) {
    PgParams params;
    if (which != KeyQuery::First && which != KeyQuery::Last) {
        addKey(params, key, value);
        params.integer(id);
    }
    const int status = readRow(db_.run(statements_.along[key][static_cast<std::size_t>(which)], params, result_), out);
    if (status == B_NO_ERROR && !keyFromColumn(result_, 0, 2, layout_.keys[key], stored)) return B_IO_ERROR;
    return status;
}

int ServerFile::readAt(RowQuery which, std::int64_t id, Record& out) {
    const Prepared& statement = which == RowQuery::After    ? statements_.after
                                : which == RowQuery::Before ? statements_.before
                                                            : statements_.exact;
    return readRow(db_.run(statement, PgParams().integer(id), result_), out);
}

int ServerFile::count(std::uint64_t& records) {
    const int status = db_.run(statements_.count, {}, result_);
    if (status != B_NO_ERROR) return status;
    records = static_cast<std::uint64_t>(result_.integerAt(0, 0));
    return B_NO_ERROR;
}

// The file's write lock is held from the first write of the process's
// transaction to its end, or for the transaction of an Insert on its own,
// waiting as long as a write waits on a file (then 85).
int ServerFile::holdFile() { return db_.inTransaction() ? B_NO_ERROR : openHeld(statements_.holdFile); }

int ServerFile::openHeld(const std::string& sql) {
    // A new holder of the write lock knows no highest id yet.
    highestId_.reset();
    const int status = db_.run(sql, result_);
    if (status != B_NO_ERROR && db_.inTransaction()) db_.run("ROLLBACK");
    return status;
}

// An Insert that opens its transaction takes the write lock and reads the
// highest value in one round trip; that value comes back as text.
int ServerFile::highestValue(std::size_t key, std::int64_t& value) {
    const bool opening = !db_.inTransaction();
    const int status =
        opening ? openHeld(statements_.holdFileAndHighest[key]) : db_.run(statements_.highest[key], {}, result_);
    if (status != B_NO_ERROR) return status;
    value = 0;
    if (result_.isNull(0, 0)) return B_NO_ERROR;
    if (!opening) {
        value = result_.integerAt(0, 0);
        return B_NO_ERROR;
    }
    const std::string text = result_.textAt(0, 0);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() ? B_NO_ERROR : B_IO_ERROR;
}

// A record takes the id after the highest, as a row of an SQLite file does;
// the write lock keeps two writers from taking the same one. Inside the
// process's transaction the highest id is remembered from one insert to the
// next: the server's max() would step over every row the transaction
// deleted, which makes refilling an emptied file quadratic.
int ServerFile::insert(std::vector<std::uint8_t>& record, std::int64_t& id) {
    if (journalDamaged_) return B_IO_ERROR;
    Write write(*this);
    const auto highest = [this](std::size_t key, std::int64_t& value) { return highestValue(key, value); };
    if (const int status = layout_.readyToInsert(record, keys_, highest); status != B_NO_ERROR) return status;
    if (const int status = holdFile(); status != B_NO_ERROR) return status;
    PgParams params = keyParams(record, keys_);
    const bool next = inTransaction() && highestId_;
    if (next) params.integer(*highestId_ + 1);
    if (const int status = db_.run(next ? statements_.insertNext : statements_.insert, params, result_);
        status != B_NO_ERROR)
        return status;
    if (result_.rows() == 0) return B_DUPLICATE_KEY_VALUE;
    id = result_.integerAt(0, 0);
    if (inTransaction()) highestId_ = id;
    return write.commit();
}

// An Update or Delete on its own is one statement, so that it is one round
// trip. Inside the process's transaction the first write opens the server's
// transaction with the write lock, and an Update, the one write that can
// fail on the server with an error (a duplicate key), runs in a savepoint so
// that its failure undoes it alone. Only Updates take savepoints: each holds
// an entry of the server's lock table until the end, and a transaction of
// many thousand writes must not run out of them.
int ServerFile::compareAndWrite(const CompareAndWrite& change) {
    using enum CompareAndWrite::Write;
    if (change.write == Nothing)
        return recordHeldElsewhere(change.id) ? B_RECORD_IN_USE : matchesStored(change.id, change.expected);
    if (journalDamaged_) return B_IO_ERROR;
    PgParams params = change.write == Update ? keyParams(change.record, change.keys) : PgParams();
    params.integer(change.id).bytes(change.expected);
    params.integer(recordLockKey(tableOid_, change.id)).integer4(lockClass(tableOid_)).integer4(kWriteLockSlot);
    const Prepared& statement = change.write == Update ? statements_.update : statements_.remove;
    if (!inTransaction()) return guardedWrite(statement, params, change.id, change.expected);
    if (const int status = holdFile(); status != B_NO_ERROR) return status;
    if (change.write == Delete) {
        const int status = guardedWrite(statement, params, change.id, change.expected);
        if (status == B_NO_ERROR && highestId_ == change.id) highestId_.reset();
        return status;
    }
    if (const int status = db_.run("SAVEPOINT write"); status != B_NO_ERROR) return status;
    int status = guardedWrite(statement, params, change.id, change.expected);
    if (status == B_NO_ERROR) status = db_.run("RELEASE SAVEPOINT write");
    if (status != B_NO_ERROR && db_.inTransaction()) db_.run("ROLLBACK TO SAVEPOINT write; RELEASE SAVEPOINT write");
    return status;
}

// The statement takes the file's write lock before it reads the row, and
// changes the row only while it still holds what the block read and no other
// process holds its lock; a row changed by another process while this one
// waited for the write lock is compared again as it now is. Nothing written
// means the record was held or changed: the rare case pays the round trips
// that tell which.
int ServerFile::guardedWrite(const Prepared& statement, const PgParams& params, std::int64_t id,
                             std::span<const std::uint8_t> expected) {
    if (const int status = db_.run(statement, params, result_); status != B_NO_ERROR) return status;
    if (result_.changedRows() == 1) return B_NO_ERROR;
    if (recordHeldElsewhere(id)) return B_RECORD_IN_USE;
    // Still as read, so it was held when the write looked.
    const int status = matchesStored(id, expected);
    return status == B_NO_ERROR ? B_RECORD_IN_USE : status;
}

int ServerFile::matchesStored(std::int64_t id, std::span<const std::uint8_t> expected) {
    const int status = readAt(RowQuery::Exact, id, stored_);
    if (status == B_END_OF_FILE) return B_CONFLICT;
    if (status != B_NO_ERROR) return status;
    return std::ranges::equal(stored_.data, expected) ? B_NO_ERROR : B_CONFLICT;
}

int ServerFile::finishTransaction(bool commit) {
    highestId_.reset();
    int status = B_NO_ERROR;
    if (db_.inTransaction()) {
        // A transaction that failed on the server can only be undone.
        if (commit && db_.transactionFailed()) commit = false, status = B_IO_ERROR;
        const int finished = db_.run(commit ? "COMMIT" : "ROLLBACK");
        if (status == B_NO_ERROR) status = finished;
        if (db_.inTransaction()) db_.run("ROLLBACK");
    }
    return status;
}

std::optional<std::int64_t> ServerFile::number(const Prepared& statement, const PgParams& params) {
    if (db_.run(statement, params, result_) != B_NO_ERROR || result_.rows() == 0) return std::nullopt;
    return result_.integerAt(0, 0);
}

int ServerFile::tryLockRecord(std::int64_t id) {
    if (readOnly_) return B_ACCESS_DENIED;
    const std::optional<std::int64_t> taken =
        number(statements_.lockRecord, PgParams().integer(recordLockKey(tableOid_, id)));
    if (!taken) return db_.lost() ? B_SERVER_LOST : B_IO_ERROR;
    return *taken ? B_NO_ERROR : B_RECORD_IN_USE;
}

void ServerFile::unlockRecord(std::int64_t id) {
    db_.run(statements_.unlockRecord, PgParams().integer(recordLockKey(tableOid_, id)), result_);
}

bool ServerFile::recordHeldElsewhere(std::int64_t id) {
    return number(statements_.recordHeld, PgParams().integer(recordLockKey(tableOid_, id))).value_or(0) != 0;
}

std::optional<std::int64_t> ServerFile::recordHolder(std::int64_t id) {
    const std::int64_t key = recordLockKey(tableOid_, id);
    return number(statements_.recordHolder, PgParams().integer(key >> 32 & 0xffffffff).integer(key & 0xffffffff));
}

void ServerFile::announceWait(std::int64_t id, bool waiting) {
    if (id <= 0 || id > INT32_MAX - kFirstWaitSlot) return;
    number(waiting ? statements_.announceWait : statements_.endWait,
           PgParams().integer4(lockClass(tableOid_)).integer4(static_cast<std::int32_t>(id + kFirstWaitSlot)));
}

std::optional<std::int64_t> ServerFile::awaitedBy(std::int64_t holder) {
    const std::optional<std::int64_t> slot =
        number(statements_.awaitedBy, PgParams().integer(tableOid_).integer(holder).integer(kFirstWaitSlot));
    if (!slot) return std::nullopt;
    return *slot - kFirstWaitSlot;
}

}  // namespace wbtrv
