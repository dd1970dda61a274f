// One data file as this process has it open: the SQLite connection, the
// file's layout and the prepared statements every operation reuses. Shared
// by all position blocks of the process that opened the file.
#pragma once

#include "file_layout.h"
#include "key_sql.h"
#include "lock_wait.h"
#include "open_lock.h"
#include "record_locks.h"
#include "sqlite_handle.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace wbtrv {

struct Record {
    std::int64_t id = 0;
    std::vector<std::uint8_t> data;
};

// Where a read along a key goes, relative to a starting key value and record id.
// Greater and Less pass every duplicate of the value; Next and Previous move
// to the neighbouring duplicate first.
enum class Seek { First, Last, Next, Previous, Equal, Greater, GreaterOrEqual, Less, LessOrEqual };

class DataFile {
public:
    // Opens the data file at path; returns a status (12, 30, 85, 2 on failure).
    static int open(const std::string& path, bool exclusive, std::unique_ptr<DataFile>& out);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    const FileLayout& layout() const { return layout_; }
    const std::string& path() const { return path_; }
    const FileIdentity& identity() const { return lock_.identity(); }
    bool exclusive() const { return exclusive_; }
    // True when this process may not write the file.
    bool readOnly() const { return readOnly_; }
    RecordLocks& recordLocks() { return recordLocks_; }

    // Reads one record along key `key`. Next/Previous start after/before
    // (value, id); the others compare with value. Status 0, 9 (no record) or 4 (Equal).
    int seek(Seek how, std::size_t key, const KeyValue& value, std::int64_t id, Record& out);
    // Reads the record after (forward) or before id in physical order; 9 at the end.
    int step(bool forward, std::int64_t id, Record& out);
    // Reads record id; 43 when there is none.
    int read(std::int64_t id, Record& out);
    // Adds record, giving each autoincrement key holding 0 its next value
    // (written into record). Returns a status; on 0 `id` is the new record's.
    int insert(std::vector<std::uint8_t>& record, std::int64_t& id);
    // Replaces record `id` if it still holds `expected` (else 80); keys that
    // are not modifiable must keep their values (else 10).
    int update(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record);
    // Removes record `id` if it still holds `expected` (else 80).
    int remove(std::int64_t id, std::span<const std::uint8_t> expected);
    int count(std::uint64_t& records);

    // Inside the process's transaction (Begin to End or Abort) the first
    // write takes the file's write lock and holds it, and no write commits
    // on its own; finishTransaction commits or rolls back what was written.
    void joinTransaction() { inTransaction_ = true; }
    int finishTransaction(bool commit);
    // True when the open transaction has written to this file.
    bool changedInTransaction() const { return inTransaction_ && !sqlite3_get_autocommit(db_.get()); }

    // Number of position blocks using this file.
    int users = 0;

private:
    DataFile() = default;
    int prepareFixed();
    Statement& query(std::size_t key, KeyQuery which);
    void bindKey(Statement& st, int index, std::size_t key, const KeyValue& value);
    // Reads the row a statement selects (id, data, and the column of `key`,
    // checked against the bytes, unless key is kNoKey: a read in physical order).
    static constexpr std::size_t kNoKey = SIZE_MAX;
    int readRow(Statement& st, std::size_t key, Record& out);
    int matchesStored(std::int64_t id, std::span<const std::uint8_t> expected);
    int bindKeys(Statement& st, int firstIndex, std::span<const std::uint8_t> record);
    int nextAutoincrement(std::size_t key, std::int64_t& value);
    int step(Statement& st);

    // Declared first so they are released last, after the connection closes.
    OpenLock lock_;
    RecordLocks recordLocks_;
    Database db_;
    FileLayout layout_;
    std::string path_;
    LockWait lockWait_;
    bool exclusive_ = false;
    bool readOnly_ = false;
    // A refused commit could not be kept out of the log: every later call
    // answers 2 until the file is closed in this process.
    bool broken_ = false;
    bool inTransaction_ = false;
    Statement begin_, commit_, rollback_, insert_, update_, delete_, byId_, count_, stepNext_, stepPrevious_;
    std::vector<std::array<Statement, static_cast<std::size_t>(KeyQuery::Count)>> queries_;
    std::vector<KeyValue> bound_;  // key values of the record being written, alive until its statement runs
    KeyValue fromBytes_, stored_;  // a row's key as its bytes say and as its column holds, reused by every read

    friend class Transaction;
};

}  // namespace wbtrv
