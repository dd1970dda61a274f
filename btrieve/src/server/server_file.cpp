#include "server/server_file.h"

#include "core/record_check.h"
#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>

#include <charconv>

namespace wbtrv {
namespace {

// Prepared statement names: one per fixed statement, one per key and query.
std::string queryName(std::size_t key, KeyQuery which) {
    return "k" + std::to_string(key) + "_" + std::to_string(static_cast<int>(which));
}

// A key column as the result holds it: bigint or bytea, or NULL.
bool keyFromColumn(const PgResult& r, int row, int column, const KeyDefinition& key, KeyValue& out) {
    out = KeyValue{};
    if (r.isNull(row, column)) return true;
    out.null = false;
    if (key.integerColumn()) {
        out.integer = r.integerAt(row, column);
        return r.typeAt(column) == kInt8Oid;
    }
    const auto bytes = r.bytesAt(row, column);
    out.encoded.assign(bytes.begin(), bytes.end());
    return r.typeAt(column) == kByteaOid;
}

}  // namespace

int PgFile::open(const std::string& server, const std::string& path, bool exclusive, std::unique_ptr<DataFile>& out) {
    std::unique_ptr<PgFile> file(new PgFile);
    file->path_ = path;
    file->exclusive_ = exclusive;
    const std::string name = nameOnServer(path);
    if (name.empty()) return B_FILE_NOT_FOUND;
    file->identity_ = {0, 0, server + '\n' + name};
    PgConnection& db = file->db_;
    if (const int status = db.connect(server); status != B_NO_ERROR) return status;
    std::int64_t id = 0;
    if (const int status = findServerFile(db, name, id); status != B_NO_ERROR) return status;
    bool writable = false;
    std::string why;
    if (const int status = readServerLayout(db, id, file->layout_, file->tableOid_, writable, why);
        status != B_NO_ERROR)
        return status;
    file->table_ = recordTable(id);
    file->readOnly_ = !writable;
    PgResult r;
    const int status = db.run(
        nullptr, exclusive ? "SELECT pg_try_advisory_lock($1, $2)" : "SELECT pg_try_advisory_lock_shared($1, $2)",
        PgParams().integer4(lockClass(file->tableOid_)).integer4(kOpenLockSlot), r);
    if (status != B_NO_ERROR) return status;
    if (r.integerAt(0, 0) == 0) return B_FILE_IN_USE;
    out = std::move(file);
    return B_NO_ERROR;
}

void PgFile::addKey(PgParams& params, std::size_t key, const KeyValue& value) const {
    const bool integer = layout_.keys[key].integerColumn();
    if (value.null)
        params.null(integer ? kInt8Oid : kByteaOid);
    else if (integer)
        params.integer(value.integer);
    else
        params.bytes(value.encoded);
}

PgParams PgFile::keyParams(std::span<const std::uint8_t> record, const std::vector<KeyValue>& keys) const {
    PgParams params;
    params.bytes(record);
    for (std::size_t k = 0; k < keys.size(); ++k) addKey(params, k, keys[k]);
    return params;
}

int PgFile::readRow(int status, const PgResult& r, Record& out) {
    if (status != B_NO_ERROR) return status;
    if (r.rows() == 0) return B_END_OF_FILE;
    if (r.typeAt(1) != kByteaOid || r.isNull(0, 1)) return B_IO_ERROR;
    out.id = r.integerAt(0, 0);
    const auto bytes = r.bytesAt(0, 1);
    out.data.assign(bytes.begin(), bytes.end());
    return B_NO_ERROR;
}

int PgFile::fetchAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                       KeyValue& stored) {
    PgParams params;
    if (which != KeyQuery::First && which != KeyQuery::Last) {
        addKey(params, key, value);
        params.integer(id);
    }
    const int status = readRow(
        db_.run(queryName(key, which).c_str(), keyQuerySql(key, which, table_, '$'), params, result_), result_, out);
    if (status == B_NO_ERROR && !keyFromColumn(result_, 0, 2, layout_.keys[key], stored)) return B_IO_ERROR;
    return status;
}

int PgFile::fetchRow(RowQuery which, std::int64_t id, Record& out) {
    const std::string select = "SELECT id, data FROM " + table_ + " WHERE id ";
    int status = B_NO_ERROR;
    const PgParams params = PgParams().integer(id);
    switch (which) {
        case RowQuery::After:
            status = db_.run("after", select + "> $1 ORDER BY id LIMIT 1", params, result_);
            break;
        case RowQuery::Before:
            status = db_.run("before", select + "< $1 ORDER BY id DESC LIMIT 1", params, result_);
            break;
        case RowQuery::Exact:
            status = db_.run("exact", select + "= $1", params, result_);
            break;
    }
    return readRow(status, result_, out);
}

// An Insert on its own opens its transaction, takes the file's write lock
// and reads the highest value in one round trip; the statements hold only
// the file's own table and numbers, and the value comes back as text.
int PgFile::highestValue(std::size_t key, std::int64_t& value) {
    const std::string sql = keyQuerySql(key, KeyQuery::Max, table_, '$');
    const bool opening = !db_.inTransaction();
    const int status =
        opening ? openHeld("; " + sql) : db_.run(queryName(key, KeyQuery::Max).c_str(), sql, {}, result_);
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

int PgFile::insertRow(std::span<const std::uint8_t> record, const std::vector<KeyValue>& keys, std::int64_t& id) {
    std::string columns, values;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        columns += ", " + keyColumn(k);
        values += ", $" + std::to_string(k + 2);
    }
    // A record takes the id after the highest, as a row of an SQLite file does;
    // the write lock keeps two writers from taking the same one. A duplicate
    // key inserts no row rather than raising an error, which would end the
    // process's transaction on the server. Inside the process's transaction
    // the highest id is remembered from one insert to the next: the server's
    // max() would step over every row the transaction deleted, which makes
    // refilling an emptied file quadratic.
    const std::string insert = "INSERT INTO " + table_ + "(id, data" + columns + ") ";
    const std::string returning = " ON CONFLICT DO NOTHING RETURNING id";
    PgParams params = keyParams(record, keys);
    int status = holdFile();
    if (status != B_NO_ERROR) return status;
    if (highestId_ && !ownWrite_) {
        params.integer(*highestId_ + 1);
        const std::string next = "$" + std::to_string(keys.size() + 2);
        status =
            db_.run("insert_next", insert + "VALUES (" + next + ", $1" + values + ")" + returning, params, result_);
    } else {
        const std::string highest = "SELECT coalesce(max(id), 0) + 1, $1" + values + " FROM " + table_;
        status = db_.run("insert", insert + highest + returning, params, result_);
    }
    if (status != B_NO_ERROR) return status;
    if (result_.rows() == 0) return B_DUPLICATE_KEY_VALUE;
    id = result_.integerAt(0, 0);
    highestId_ = id;
    return B_NO_ERROR;
}

// An Update or Delete is one statement, so that a write on its own is one
// round trip: it takes the file's write lock before it reads the row, and
// changes the row only while it still holds what the block read and no
// other process holds its lock. A row changed by another process while
// this one waited for the write lock is compared again as it now is.
// Nothing written means the record was held or changed: the rare case pays
// the round trips that tell which.
int PgFile::guardedWrite(const char* name, const std::string& write, PgParams& params, std::int64_t id,
                         std::span<const std::uint8_t> expected) {
    const std::string record = "$" + std::to_string(params.size() + 1);
    const std::string sql = write + " AND EXISTS (SELECT FROM (SELECT pg_advisory_xact_lock($" +
                            std::to_string(params.size() + 2) + ", $" + std::to_string(params.size() + 3) +
                            ")) AS hold) AND CASE WHEN pg_try_advisory_lock_shared(" + record +
                            ") THEN pg_advisory_unlock_shared(" + record + ") ELSE false END";
    params.integer(recordLockKey(tableOid_, id)).integer4(lockClass(tableOid_)).integer4(kWriteLockSlot);
    if (const int status = db_.run(name, sql, params, result_); status != B_NO_ERROR) return status;
    if (result_.changedRows() == 1) return B_NO_ERROR;
    if (recordHeldElsewhere(id)) return B_RECORD_IN_USE;
    // Still as read, so it was held when the write looked.
    const int status = matchesStored(id, expected);
    return status == B_NO_ERROR ? B_RECORD_IN_USE : status;
}

int PgFile::updateRow(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record,
                      const std::vector<KeyValue>& keys) {
    std::string assignments;
    for (std::size_t k = 0; k < keys.size(); ++k) assignments += ", " + keyColumn(k) + " = $" + std::to_string(k + 2);
    const std::string sql = "UPDATE " + table_ + " SET data = $1" + assignments + " WHERE id = $" +
                            std::to_string(keys.size() + 2) + " AND data = $" + std::to_string(keys.size() + 3);
    PgParams params = keyParams(record, keys);
    params.integer(id).bytes(expected);
    // A duplicate key raises an error, which inside the process's transaction
    // must undo this write alone.
    if (!ownWrite_) {
        if (const int status = db_.run("SAVEPOINT write"); status != B_NO_ERROR) return status;
        savepoint_ = true;
    }
    return guardedWrite("update", sql, params, id, expected);
}

int PgFile::deleteRow(std::int64_t id, std::span<const std::uint8_t> expected) {
    PgParams params = PgParams().integer(id).bytes(expected);
    const int status =
        guardedWrite("delete", "DELETE FROM " + table_ + " WHERE id = $1 AND data = $2", params, id, expected);
    if (status == B_NO_ERROR && highestId_ == id) highestId_.reset();
    return status;
}

// The file's write lock is held from the first write of the process's
// transaction to its end, waiting as long as a write waits on a file (then
// 85). An Update or Delete on its own takes it inside its statement; an
// Insert on its own holds it in a transaction of its own, begun here, since
// it reads the highest id and autoincrement values under it.
// Inside the process's transaction only an Update, the one write that can
// fail on the server with an error, runs in a savepoint of its own: each
// savepoint holds an entry of the server's lock table until the end, and a
// transaction of many thousand writes must not run out of them.
int PgFile::beginWrite(bool own) {
    ownWrite_ = own;
    savepoint_ = false;
    if (own || !db_.inTransaction()) highestId_.reset();
    return own ? B_NO_ERROR : holdFile();
}

int PgFile::holdFile() { return db_.inTransaction() ? B_NO_ERROR : openHeld({}); }

int PgFile::openHeld(const std::string& then) {
    // The lock's keys are the file's own numbers, no caller's data.
    const int status = db_.run("BEGIN; SELECT pg_advisory_xact_lock(" + std::to_string(lockClass(tableOid_)) + ", " +
                                   std::to_string(kWriteLockSlot) + ")" + then,
                               result_);
    if (status != B_NO_ERROR && db_.inTransaction()) db_.run("ROLLBACK");
    return status;
}

int PgFile::commitWrite(bool own) {
    if (own ? !db_.inTransaction() : !savepoint_) return B_NO_ERROR;
    const int status = db_.run(own ? "COMMIT" : "RELEASE SAVEPOINT write");
    if (status != B_NO_ERROR) abandonWrite(own);
    return status;
}

void PgFile::abandonWrite(bool own) {
    if (!db_.inTransaction() || (!own && !savepoint_)) return;
    db_.run(own ? "ROLLBACK" : "ROLLBACK TO SAVEPOINT write; RELEASE SAVEPOINT write");
}

int PgFile::finishWrites(bool commit) {
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

int PgFile::count(std::uint64_t& records) {
    const int status = db_.run("count", "SELECT count(*) FROM " + table_, {}, result_);
    if (status != B_NO_ERROR) return status;
    records = static_cast<std::uint64_t>(result_.integerAt(0, 0));
    return B_NO_ERROR;
}

int PgFile::tryLockRecord(std::int64_t id) {
    if (readOnly_) return B_ACCESS_DENIED;
    const std::optional<std::int64_t> taken =
        number("lock_record", "SELECT pg_try_advisory_lock($1)::int", PgParams().integer(recordLockKey(tableOid_, id)));
    if (!taken) return db_.lost() ? B_SERVER_LOST : B_IO_ERROR;
    return *taken ? B_NO_ERROR : B_RECORD_IN_USE;
}

void PgFile::unlockRecord(std::int64_t id) {
    db_.run("unlock_record", "SELECT pg_advisory_unlock($1)", PgParams().integer(recordLockKey(tableOid_, id)),
            result_);
}

std::optional<std::int64_t> PgFile::number(const char* name, const std::string& sql, const PgParams& params) {
    if (db_.run(name, sql, params, result_) != B_NO_ERROR || result_.rows() == 0) return std::nullopt;
    return result_.integerAt(0, 0);
}

// The server's advisory locks of this database, as pg_locks lists them: a
// record lock (one int8 key) under objsubid 1, its high half in classid; an
// announced wait (two int4 keys: the file's class and the record id + 2,
// above the open and write lock slots) under objsubid 2.
namespace {
constexpr const char* kAdvisoryLocks =
    " FROM pg_locks WHERE locktype = 'advisory' AND granted"
    " AND database = (SELECT oid FROM pg_database WHERE datname = current_database()) AND classid::bigint = $1";
constexpr std::int64_t kFirstWaitSlot = 2;
}  // namespace

// A probe that takes the lock and gives it back costs the same however many
// locks the server holds, where a look into the server's lock list grows with
// them. It takes the lock shared, as the Update and Delete statements do, so
// that two processes probing one record at once do not see each other's probe
// as a holder: a record lock is only ever held exclusively.
bool PgFile::recordHeldElsewhere(std::int64_t id) {
    const std::optional<std::int64_t> held =
        number("record_held",
               "SELECT CASE WHEN pg_try_advisory_lock_shared($1) THEN (NOT pg_advisory_unlock_shared($1))::int ELSE 1 "
               "END",
               PgParams().integer(recordLockKey(tableOid_, id)));
    return held.value_or(0) != 0;
}

std::optional<std::int64_t> PgFile::recordHolder(std::int64_t id) {
    const std::int64_t key = recordLockKey(tableOid_, id);
    return number("record_holder",
                  "SELECT pid" + std::string(kAdvisoryLocks) +
                      " AND objsubid = 1 AND objid::bigint = $2 AND pid <> pg_backend_pid() LIMIT 1",
                  PgParams().integer(key >> 32 & 0xffffffff).integer(key & 0xffffffff));
}

void PgFile::announceWait(std::int64_t id, bool waiting) {
    if (id <= 0 || id > INT32_MAX - kFirstWaitSlot) return;
    number(
        waiting ? "announce_wait" : "end_wait",
        waiting ? "SELECT pg_try_advisory_lock_shared($1, $2)::int" : "SELECT pg_advisory_unlock_shared($1, $2)::int",
        PgParams().integer4(lockClass(tableOid_)).integer4(static_cast<std::int32_t>(id + kFirstWaitSlot)));
}

std::optional<std::int64_t> PgFile::awaitedBy(std::int64_t holder) {
    const std::optional<std::int64_t> slot =
        number("awaited_by",
               "SELECT objid::bigint" + std::string(kAdvisoryLocks) +
                   " AND objsubid = 2 AND objid::bigint >= $3 AND pid = $2 LIMIT 1",
               PgParams().integer(tableOid_).integer(holder).integer(kFirstWaitSlot));
    if (!slot) return std::nullopt;
    return *slot - kFirstWaitSlot;
}

int verifyServerFile(const std::string& server, const std::string& path, std::string& why) {
    PgConnection db;
    if (const int status = db.connect(server); status != B_NO_ERROR) {
        why = "the server cannot be reached";
        return status;
    }
    std::int64_t id = 0;
    if (const int status = findServerFile(db, nameOnServer(path), id); status != B_NO_ERROR) {
        why = status == B_FILE_NOT_FOUND ? "no such file" : "the server's tables are not ours";
        return status;
    }
    FileLayout layout;
    Oid table = 0;
    bool writable = false;
    if (const int status = readServerLayout(db, id, layout, table, writable, why); status != B_NO_ERROR) return status;
    // Held like any open: a file open exclusively elsewhere is not read.
    PgResult r;
    if (const int status = db.run(nullptr, "SELECT pg_try_advisory_lock_shared($1, $2)::int",
                                  PgParams().integer4(lockClass(table)).integer4(kOpenLockSlot), r);
        status != B_NO_ERROR || r.integerAt(0, 0) == 0) {
        why = "the file is open exclusively elsewhere";
        return status == B_NO_ERROR ? B_FILE_IN_USE : status;
    }
    std::string sql = "SELECT id, data";
    for (std::size_t k = 0; k < layout.keys.size(); ++k) sql += ", " + keyColumn(k);
    if (const int status = db.run(nullptr, sql + " FROM " + recordTable(id) + " ORDER BY id", {}, r);
        status != B_NO_ERROR) {
        why = recordTable(id) + " cannot be read";
        return status;
    }
    for (int row = 0; row < r.rows(); ++row) {
        const KeyColumnReader column = [&](std::size_t k, KeyValue& held) {
            return keyFromColumn(r, row, static_cast<int>(k) + 2, layout.keys[k], held);
        };
        if (const int status = checkStoredRecord(layout, r.integerAt(row, 0), r.bytesAt(row, 1),
                                                 !r.isNull(row, 1) && r.typeAt(1) == kByteaOid, column, why);
            status != B_NO_ERROR)
            return status;
    }
    return B_NO_ERROR;
}

}  // namespace wbtrv
