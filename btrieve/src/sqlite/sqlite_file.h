// A data file kept as an SQLite database: the connection, the lock that
// tells other processes the file is open, the record locks, and the prepared
// statements every operation reuses.
#pragma once

#include "core/engine.h"
#include "sqlite/lock_wait.h"
#include "sqlite/open_lock.h"
#include "sqlite/record_locks.h"
#include "sqlite/sqlite_handle.h"
#include "sqlite/sqlite_journal.h"

#include <array>
#include <functional>
#include <map>
#include <tuple>

namespace wbtrv {

// The identity the SQLite engine gives the file of a disk identity.
FileIdentity identityOf(const Engine& engine, const DiskIdentity& disk);

class SqliteFile final : public StoredFile {
public:
    // Opens the data file at path; returns a status (12, 30, 46, 85, 18, 2 on failure).
    static int open(const Engine& engine, const std::string& path, bool exclusive, std::unique_ptr<StoredFile>& out);
    ~SqliteFile() override;

    int readAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                  KeyValue& stored) override;
    int readAt(RowQuery which, std::int64_t id, Record& out) override;
    int count(std::uint64_t& records) override;
    int readBatch(const BatchRequest& request, BatchAnswer& answer) override;
    int rankAlong(std::size_t key, const KeyValue& value, std::int64_t id, Rank& out) override;
    int readAtRank(std::size_t key, std::uint64_t rank, Record& out, KeyValue& stored) override;
    // Rebuilds the records' table with the new key columns (an added one
    // computed from each record's bytes) and every index.
    int changeKeys(const KeyChange& change) override;
    // Keeps the owner in owner_t, made when an owner is first set and
    // dropped when it is cleared.
    int changeOwner(const std::optional<OwnerRecord>& owner) override;
    int insert(std::vector<std::uint8_t>& record, std::int64_t& id) override;
    int insertBatch(std::span<std::vector<std::uint8_t>> records, std::vector<std::int64_t>& ids) override;
    int compareAndWrite(const CompareAndWrite& change) override;
    int tryLockRecord(std::int64_t id) override { return recordLocks_.tryLock(id); }
    void unlockRecord(std::int64_t id) override { recordLocks_.release(id); }
    std::optional<std::int64_t> recordHolder(std::int64_t id) override { return recordLocks_.holder(id); }
    void announceWait(std::int64_t id, bool waiting) override { recordLocks_.announceWait(id, waiting); }
    std::optional<std::int64_t> awaitedBy(std::int64_t holder) override {
        return recordLocks_.awaitedBy(static_cast<pid_t>(holder));
    }
    bool changedInTransaction() const override { return inTransaction() && !sqlite3_get_autocommit(db_.get()); }
    int journalState(JournalState& out) override;
    int readJournal(const JournalQuery& query, const JournalSink& sink) override;
    int switchJournal(bool on) override;
    int pruneJournal(const JournalPrune& prune, std::uint64_t& removed) override;

private:
    class Write;

    SqliteFile() : journal_(db_) {}
    int prepareFixed();
    // Prepares every statement again for the file's layout as it now is.
    int prepareForLayout();
    // Runs a change to the file itself in one SQLite transaction while this
    // process alone has the file open: 85 when another has it open too.
    int changeAlone(const std::function<int()>& change);
    // The statement of a percentage read along a key or by id, prepared when first used.
    Statement& rankStatement(std::vector<Statement>& statements, std::size_t key, bool atRank);
    Statement& query(std::size_t key, KeyQuery which);
    void bindKey(Statement& st, int index, std::size_t key, const KeyValue& value);
    void bindKeys(Statement& st, int firstIndex, std::span<const KeyValue> keys);
    int readRow(Statement& st, Record& out);
    // Adds one record under a write already begun.
    int insertRecord(std::vector<std::uint8_t>& record, std::int64_t& id);
    // The walk of a batched read, prepared when first used.
    Statement& batchWalk(const BatchRequest& request);
    int step(Statement& st);
    // 0 when record id still holds `expected`, 80 when it changed or is gone.
    int matchesStored(std::int64_t id, std::span<const std::uint8_t> expected);
    // The highest value of an integer key's column (0 in an empty file).
    int highestValue(std::size_t key, std::int64_t& value);
    int finishTransaction(bool commit) override;

    std::string path_;
    // Declared first so they are released last, after the connection closes.
    OpenLock lock_;
    RecordLocks recordLocks_;
    Database db_;
    LockWait lockWait_;
    // Written by triggers with every change; kept only by files that have one.
    SqliteJournal journal_;
    // A refused commit could not be kept out of the log: every later call
    // answers 2 until the file is closed in this process.
    bool broken_ = false;
    Statement begin_, commit_, rollback_, insert_, update_, delete_, byId_, count_, stepNext_, stepPrevious_;
    std::vector<std::array<Statement, kKeyQueries>> queries_;
    std::vector<Statement> highest_;  // per key, prepared when first used
    // Walks of batched reads by (key, or -1 in physical order; forward; start).
    std::map<std::tuple<std::ptrdiff_t, bool, BatchStart>, Statement> batchWalks_;
    KeyValue batchKey_;  // the key column of the record a batch examines
    // Per key and, last, for physical order; prepared when first used.
    std::vector<Statement> rank_, atRank_;
    std::vector<KeyValue> keys_;  // key values of the record being inserted
    Record stored_;               // the record as stored, read before a write
};

}  // namespace wbtrv
