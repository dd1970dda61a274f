// A data file kept on a PostgreSQL server: its own connection, on which the
// file's open lock (a session advisory lock, shared or exclusive) and record
// locks (session advisory locks, one per record) are held and every write
// takes the file's write lock (a transaction advisory lock).
#pragma once

#include "core/engine.h"
#include "server/pg_connection.h"
#include "server/server_journal.h"
#include "server/server_statements.h"

#include <functional>
#include <memory>
#include <optional>

namespace wbtrv {

class ServerFile final : public StoredFile {
public:
    // Opens the file of this name on the server `db` is connected to;
    // returns a status (12, 30, 85, 20 on failure).
    static int open(const Engine& engine, std::shared_ptr<PgConnection> db, const std::string& name, bool exclusive,
                    std::unique_ptr<StoredFile>& out);

    int readAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                  KeyValue& stored) override;
    int readAt(RowQuery which, std::int64_t id, Record& out) override;
    int count(std::uint64_t& records) override;
    int insert(std::vector<std::uint8_t>& record, std::int64_t& id) override;
    int compareAndWrite(const CompareAndWrite& change) override;
    int tryLockRecord(std::int64_t id) override;
    void unlockRecord(std::int64_t id) override;
    std::optional<std::int64_t> recordHolder(std::int64_t id) override;
    void announceWait(std::int64_t id, bool waiting) override;
    std::optional<std::int64_t> awaitedBy(std::int64_t holder) override;
    bool changedInTransaction() const override { return inTransaction() && db_.inTransaction(); }
    int journalState(JournalState& out) override;
    int readJournal(const JournalQuery& query, const JournalSink& sink) override;
    int switchJournal(bool on) override;
    int pruneJournal(const JournalPrune& prune, std::uint64_t& removed) override;

private:
    class Write;

    ServerFile(std::shared_ptr<PgConnection> db, std::int64_t number, const FileLayout& layout, Oid table);
    // Runs one command that changes the journal in a transaction of its own: 0 or a status.
    int changeJournal(const std::function<int()>& change);
    // Reads which parts of the journal are there: 0, 46 when this role may
    // not read the file's records (and so not its journal), or a status.
    int journalParts(PgResult& parts);
    int finishTransaction(bool commit) override;
    int readRow(int status, Record& out);
    void addKey(PgParams& params, std::size_t key, const KeyValue& value) const;
    PgParams keyParams(std::span<const std::uint8_t> record, std::span<const KeyValue> keys) const;
    // The one number a statement answers; none when it answers no row or fails.
    std::optional<std::int64_t> number(const Prepared& statement, const PgParams& params);
    // Opens the server's transaction holding the file's write lock, unless one is open.
    int holdFile();
    // Opens that transaction with the statements `sql` (result_ holds the
    // last one's rows, as text); undone on a failure.
    int openHeld(const std::string& sql);
    // The highest value of an integer key's column (0 in an empty file),
    // read under the write lock.
    int highestValue(std::size_t key, std::int64_t& value);
    // Runs a guarded Update or Delete: 0, 84, 80, or the statement's failure.
    int guardedWrite(const Prepared& statement, const PgParams& params, std::int64_t id,
                     std::span<const std::uint8_t> expected);
    bool recordHeldElsewhere(std::int64_t id);
    // 0 when record id still holds `expected`, 80 when it changed or is gone.
    int matchesStored(std::int64_t id, std::span<const std::uint8_t> expected);

    std::shared_ptr<PgConnection> connection_;
    PgConnection& db_;
    Oid tableOid_ = 0;         // what the file's advisory locks are keyed by
    std::int64_t number_ = 0;  // the file's number in the catalog
    FileStatements statements_;
    JournalStatements journal_;
    // A file with a journal whose trigger is gone: no change could be journaled, so none is made.
    bool journalDamaged_ = false;
    // Whether this role may read the journal, once asked.
    std::optional<bool> mayReadJournal_;
    PgResult result_;
    std::vector<KeyValue> keys_;  // key values of the record being inserted
    Record stored_;               // the record as stored, read to explain a write that changed nothing
    // The highest record id, while the process's transaction holds the write lock and knows it.
    std::optional<std::int64_t> highestId_;
};

}  // namespace wbtrv
