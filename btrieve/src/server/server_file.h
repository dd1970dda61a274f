// A data file kept on a PostgreSQL server: its own connection, on which the
// file's open lock (a session advisory lock, shared or exclusive) and record
// locks (session advisory locks, one per record) are held and every write
// takes the file's write lock (a transaction advisory lock).
#pragma once

#include "operations/open_file.h"
#include "server/pg_connection.h"

#include <array>

namespace wbtrv {

class PgFile final : public DataFile {
public:
    // Opens the file of this name on the server; returns a status (12, 30, 85, 20 on failure).
    static int open(const std::string& server, const std::string& path, bool exclusive, std::unique_ptr<DataFile>& out);

    int count(std::uint64_t& records) override;
    bool changedInTransaction() const override { return inTransaction_ && db_.inTransaction(); }

private:
    PgFile() = default;
    int readRow(int status, const PgResult& r, Record& out);
    PgParams keyParams(std::span<const std::uint8_t> record, const std::vector<KeyValue>& keys) const;
    void addKey(PgParams& params, std::size_t key, const KeyValue& value) const;
    // The one number a query answers; none when it answers no row or fails.
    std::optional<std::int64_t> number(const char* name, const std::string& sql, const PgParams& params);

    int fetchAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                   KeyValue& stored) override;
    int fetchRow(RowQuery which, std::int64_t id, Record& out) override;
    int highestValue(std::size_t key, std::int64_t& value) override;
    int insertRow(std::span<const std::uint8_t> record, const std::vector<KeyValue>& keys, std::int64_t& id) override;
    int updateRow(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record,
                  const std::vector<KeyValue>& keys) override;
    int deleteRow(std::int64_t id, std::span<const std::uint8_t> expected) override;
    bool writesRefuseHeldRecords() const override { return true; }
    // Runs the Update or Delete `write` (its last condition open for more)
    // under the file's write lock, unless another process holds the record:
    // 0, 84, 80, or the statement's failure.
    int guardedWrite(const char* name, const std::string& write, PgParams& params, std::int64_t id,
                     std::span<const std::uint8_t> expected);
    // Opens the transaction that holds the file's write lock, unless one is open.
    int holdFile();
    // Opens that transaction and runs the statements `then` in the same round
    // trip (result_ holds the last one's rows, as text); undone on a failure.
    int openHeld(const std::string& then);
    int beginWrite(bool own) override;
    int commitWrite(bool own) override;
    void abandonWrite(bool own) override;
    int finishWrites(bool commit) override;
    int tryLockRecord(std::int64_t id) override;
    void unlockRecord(std::int64_t id) override;
    std::optional<std::int64_t> recordHolder(std::int64_t id) override;
    bool recordHeldElsewhere(std::int64_t id) override;
    void announceWait(std::int64_t id, bool waiting) override;
    std::optional<std::int64_t> awaitedBy(std::int64_t holder) override;

    PgConnection db_;
    std::string table_;  // the record table, named from the file's number
    Oid tableOid_ = 0;   // what the file's advisory locks are keyed by
    PgResult result_;
    bool ownWrite_ = false;   // the write under way commits on its own
    bool savepoint_ = false;  // the write under way runs in a savepoint
    // The highest record id, while the process's transaction holds the write lock and knows it.
    std::optional<std::int64_t> highestId_;
};

// BTRVERIFY of a file on a server: every record of the record length, every
// key column equal to its record's bytes.
int verifyServerFile(const std::string& server, const std::string& path, std::string& why);

}  // namespace wbtrv
