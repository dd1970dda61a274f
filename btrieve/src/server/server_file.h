// A data file kept on a PostgreSQL server, on the session the process's files
// there share: the file's open lock (a session advisory lock, shared or
// exclusive) and record locks (session advisory locks, one per record) are
// held on it until the file closes, and every write takes the file's write
// lock (a transaction advisory lock) in the session's transaction.
#pragma once

#include "core/engine.h"
#include "server/server_find.h"
#include "server/server_journal.h"
#include "server/server_session.h"
#include "server/server_statements.h"

#include <functional>
#include <memory>
#include <optional>

namespace wbtrv {

class ServerFile final : public StoredFile {
public:
    // Opens the file of this name on the session's server; returns a status
    // (12, 30, 85, 20 on failure).
    static int open(const Engine& engine, std::shared_ptr<ServerSession> session, const std::string& name,
                    bool exclusive, std::unique_ptr<StoredFile>& out);
    // Gives back the open lock: the session lives on with the other files.
    ~ServerFile() override;

    int readAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                  KeyValue& stored) override;
    int readAt(RowQuery which, std::int64_t id, Record& out) override;
    int count(std::uint64_t& records) override;
    int readBatch(const BatchRequest& request, BatchAnswer& answer) override;
    int rankAlong(std::size_t key, const KeyValue& value, std::int64_t id, Rank& out) override;
    int readAtRank(std::size_t key, std::uint64_t rank, Record& out, KeyValue& stored) override;
    // Alters the record table in one transaction of the server's: drops and
    // renames key columns, or adds one filled from the records in batches.
    int changeKeys(const KeyChange& change) override;
    // Keeps the owner in a row of wbtrv_owners beside the file's catalog row.
    int changeOwner(const std::optional<OwnerRecord>& owner) override;
    int insert(std::vector<std::uint8_t>& record, std::int64_t& id) override;
    int insertBatch(std::span<std::vector<std::uint8_t>> records, std::vector<std::int64_t>& ids) override;
    int compareAndWrite(const CompareAndWrite& change) override;
    int tryLockRecord(std::int64_t id) override;
    void unlockRecord(std::int64_t id) override;
    std::optional<std::int64_t> recordHolder(std::int64_t id) override;
    void announceWait(std::int64_t id, bool waiting) override;
    std::optional<std::int64_t> awaitedBy(std::int64_t holder) override;
    bool changedInTransaction() const override { return inTransaction() && holdsFile(); }
    int journalState(JournalState& out) override;
    int readJournal(const JournalQuery& query, const JournalSink& sink) override;
    int switchJournal(bool on) override;
    int pruneJournal(const JournalPrune& prune, std::uint64_t& removed) override;

private:
    class Write;

    ServerFile(std::shared_ptr<ServerSession> session, const FoundFile& found, OpenLock lock);
    // findServerFile with the file's owner, when the catalog has owners.
    static int findWithOwner(ServerSession& session, const std::string& name, OpenLock lock, FoundFile& found,
                             std::string& why);
    // Runs one command that changes the journal in a transaction of its own: 0 or a status.
    int changeJournal(const std::function<int()>& change);
    // Reads which parts of the journal are there: 0, 46 when this role may
    // not read the file's records (and so not its journal), or a status.
    int journalParts(PgResult& parts);
    int finishTransaction(bool commit) override;
    // Runs a change to the file itself in one transaction of the server's
    // while no other session has the file open (85 otherwise), holding the
    // file's open lock exclusively the while.
    int changeAlone(const std::function<int()>& change);
    // Gives the key added by a change its value in every record.
    int fillAddedKey(const KeyDefinition& key, std::size_t number);
    int readRow(int status, Record& out);
    // The rows of a batched read's statement, by its form (server/batch_sql.h).
    int plainBatch(const BatchRequest& request, BatchAnswer& answer);
    int filteredBatch(const BatchRequest& request, BatchAnswer& answer);
    int clientBatch(const BatchRequest& request, BatchAnswer& answer);
    // Under the write lock, taking it as holdFile does if the session's
    // transaction does not hold it: the highest id and each autoincrement
    // key's highest value.
    int highestOfAll(std::int64_t& id, std::vector<std::int64_t>& values);
    // Inserts records in order from id `first` on, in the transaction of the
    // server: `inserted` of them went in, `refused` says why the next did not.
    // Fails (with none of them kept, the rest of the transaction going on)
    // only when the server does.
    int insertRows(std::span<std::vector<std::uint8_t>> records, std::int64_t& first, std::size_t& inserted,
                   int& refused);
    // Of the first `count` records readied with `values`, the number before
    // the first that repeats a unique value, stored or earlier among them.
    int firstRepeated(const std::vector<std::vector<KeyValue>>& values, std::size_t& count);
    void addKey(PgParams& params, std::size_t key, const KeyValue& value) const;
    PgParams keyParams(std::span<const std::uint8_t> record, std::span<const KeyValue> keys) const;
    // The one number a statement answers; none when it answers no row or fails.
    std::optional<std::int64_t> number(const Prepared& statement, const PgParams& params);
    // Whether the session's transaction holds the file's write lock.
    bool holdsFile() const { return heldIn_ != 0 && heldIn_ == session_->openTransaction(); }
    // Takes the file's write lock in the session's transaction (opening it
    // when none is open), unless it holds it already.
    int holdFile();
    // Takes it with the statements `sql`, one of FileStatements' opening
    // `holdFile`, `holdFileAndHighest` or `holdFileAndHighestAll` (result_ holds the last one's rows,
    // as text); undone on a failure.
    int takeHold(const std::array<std::string, 2>& sql);
    // The highest value of an integer key's column (0 in an empty file),
    // read under the write lock.
    int highestValue(std::size_t key, std::int64_t& value);
    // Runs a guarded Update or Delete: 0, 84, 80, or the statement's failure.
    int guardedWrite(const Prepared& statement, const PgParams& params, std::int64_t id,
                     std::span<const std::uint8_t> expected);
    bool recordHeldElsewhere(std::int64_t id);
    // 0 when record id still holds `expected`, 80 when it changed or is gone.
    int matchesStored(std::int64_t id, std::span<const std::uint8_t> expected);

    std::shared_ptr<ServerSession> session_;
    PgConnection& db_;
    Oid tableOid_ = 0;         // what the file's advisory locks are keyed by
    std::int64_t number_ = 0;  // the file's number in the catalog
    OpenLock openLock_;
    // The session's transaction in which the file's write lock was taken.
    std::uint64_t heldIn_ = 0;
    FileStatements statements_;
    JournalStatements journal_;
    // A file with a journal whose trigger is gone: no change could be journaled, so none is made.
    bool journalDamaged_ = false;
    // Whether this role may read the journal, once asked.
    std::optional<bool> mayReadJournal_;
    PgResult result_;
    std::vector<KeyValue> keys_;  // key values of the record being inserted
    Record stored_;               // the record as stored, read to explain a write that changed nothing
    KeyValue batchKey_;           // the key column of a record a batch examines
    // The highest record id, while the process's transaction holds the write lock and knows it.
    std::optional<std::int64_t> highestId_;
};

}  // namespace wbtrv
