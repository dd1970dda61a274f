// A data file kept as an SQLite database: the connection, the lock that
// tells other processes the file is open, and the prepared statements every
// operation reuses.
#pragma once

#include "operations/open_file.h"
#include "sqlite/lock_wait.h"
#include "sqlite/record_locks.h"
#include "sqlite/sqlite_handle.h"

#include <array>

namespace wbtrv {

class SqliteFile final : public DataFile {
public:
    // Opens the data file at path; returns a status (12, 30, 85, 2 on failure).
    static int open(const std::string& path, bool exclusive, std::unique_ptr<DataFile>& out);
    ~SqliteFile() override;

    int count(std::uint64_t& records) override;

    bool changedInTransaction() const override { return inTransaction_ && !sqlite3_get_autocommit(db_.get()); }

private:
    SqliteFile() = default;
    int prepareFixed();
    Statement& query(std::size_t key, KeyQuery which);
    void bindKey(Statement& st, int index, std::size_t key, const KeyValue& value);
    void bindKeys(Statement& st, int firstIndex, const std::vector<KeyValue>& keys);
    int readRow(Statement& st, Record& out);
    int step(Statement& st);

    int fetchAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                   KeyValue& stored) override;
    int fetchRow(RowQuery which, std::int64_t id, Record& out) override;
    int highestValue(std::size_t key, std::int64_t& value) override;
    int insertRow(std::span<const std::uint8_t> record, const std::vector<KeyValue>& keys, std::int64_t& id) override;
    int updateRow(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record,
                  const std::vector<KeyValue>& keys) override;
    int deleteRow(std::int64_t id, std::span<const std::uint8_t> expected) override;
    int beginWrite(bool own) override;
    int commitWrite(bool own) override;
    void abandonWrite(bool own) override;
    int finishWrites(bool commit) override;
    int tryLockRecord(std::int64_t id) override { return recordLocks_.tryLock(id); }
    void unlockRecord(std::int64_t id) override { recordLocks_.release(id); }
    std::optional<std::int64_t> recordHolder(std::int64_t id) override { return recordLocks_.holder(id); }
    void announceWait(std::int64_t id, bool waiting) override { recordLocks_.announceWait(id, waiting); }
    std::optional<std::int64_t> awaitedBy(std::int64_t holder) override {
        return recordLocks_.awaitedBy(static_cast<pid_t>(holder));
    }

    // Declared first so they are released last, after the connection closes.
    OpenLock lock_;
    RecordLocks recordLocks_;
    Database db_;
    LockWait lockWait_;
    // A refused commit could not be kept out of the log: every later call
    // answers 2 until the file is closed in this process.
    bool broken_ = false;
    Statement begin_, commit_, rollback_, insert_, update_, delete_, byId_, count_, stepNext_, stepPrevious_;
    std::vector<std::array<Statement, static_cast<std::size_t>(KeyQuery::Count)>> queries_;
};

}  // namespace wbtrv
