// One data file as this process has it open, whatever engine keeps it: the
// operations every position block of the process shares. The rules of the
// record manager live here once (the order of a walk along a key, the
// autoincrement values, the record compared before a write, the counting of
// record locks); an engine supplies the rows, its write transaction and its
// locks through the protected primitives below.
#pragma once

#include "core/file_layout.h"
#include "core/key_sql.h"
#include "sqlite/open_lock.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
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

// A read in physical order: the record after or before an id, or the record of that id.
enum class RowQuery { After, Before, Exact };

class DataFile {
public:
    virtual ~DataFile() = default;
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    const FileLayout& layout() const { return layout_; }
    const std::string& path() const { return path_; }
    const FileIdentity& identity() const { return identity_; }
    bool exclusive() const { return exclusive_; }
    // True when this process may not write the file.
    bool readOnly() const { return readOnly_; }

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
    // are not modifiable must keep their values (else 10). A record whose
    // lock another process holds is neither updated nor removed (84).
    int update(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record);
    // Removes record `id` if it still holds `expected` (else 80).
    int remove(std::int64_t id, std::span<const std::uint8_t> expected);
    virtual int count(std::uint64_t& records) = 0;

    // Inside the process's transaction (Begin to End or Abort) the first
    // write takes the file's write lock and holds it, and no write commits
    // on its own; finishTransaction commits or rolls back what was written.
    // Records released by their blocks and records the transaction changed
    // stay locked until it ends, so no other process builds on what may yet
    // be undone.
    void joinTransaction() { inTransaction_ = true; }
    int finishTransaction(bool commit);
    // Holds record id, changed by the open transaction, until it ends.
    void keepChanged(std::int64_t id);
    // True when the open transaction has written to this file.
    virtual bool changedInTransaction() const = 0;

    // Locks record id for one more block of this process: 0, 84 when another
    // process holds it (after waiting up to a second when `wait`), 78 when
    // its holder waits, directly or through other waiters, for a record held
    // here, 46 when the file cannot be locked. The lock is dropped after the
    // last block releases it.
    int lockRecord(std::int64_t id, bool wait);
    void releaseRecord(std::int64_t id);

    // Number of position blocks using this file.
    int users = 0;

protected:
    DataFile() = default;

    // One row along a key as the engine found it: the record and the value
    // its key column holds (checked here against the record's bytes).
    virtual int fetchAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                           KeyValue& stored) = 0;
    virtual int fetchRow(RowQuery which, std::int64_t id, Record& out) = 0;
    // The highest value of an integer key's column (0 in an empty file).
    virtual int highestValue(std::size_t key, std::int64_t& value) = 0;
    // The writes of one row; `keys` are the record's key values, in key
    // order. An update or delete changes the row only while it still holds
    // `expected`, else answers 80.
    virtual int insertRow(std::span<const std::uint8_t> record, const std::vector<KeyValue>& keys,
                          std::int64_t& id) = 0;
    virtual int updateRow(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record,
                          const std::vector<KeyValue>& keys) = 0;
    virtual int deleteRow(std::int64_t id, std::span<const std::uint8_t> expected) = 0;
    // True when another process holds record id.
    virtual bool recordHeldElsewhere(std::int64_t id) { return recordHolder(id).has_value(); }
    // True when updateRow and deleteRow answer 84 themselves for a record
    // another process holds, checking in the statement that writes it.
    virtual bool writesRefuseHeldRecords() const { return false; }
    // 0 when record id still holds `expected`, 80 when it changed or is gone.
    int matchesStored(std::int64_t id, std::span<const std::uint8_t> expected);

    // A write runs between beginWrite and commitWrite or abandonWrite. `own`
    // is false inside the process's transaction: the engine then neither
    // commits nor rolls back the transaction, only this one write.
    virtual int beginWrite(bool own) = 0;
    // Commits or rolls back the writes of the process's transaction.
    virtual int finishWrites(bool commit) = 0;
    virtual int commitWrite(bool own) = 0;
    virtual void abandonWrite(bool own) = 0;

    // Takes record id's lock for the process once, without waiting: 0, 84 or 46.
    virtual int tryLockRecord(std::int64_t id) = 0;
    virtual void unlockRecord(std::int64_t id) = 0;
    // The process (or server session) holding record id against this one, if any.
    virtual std::optional<std::int64_t> recordHolder(std::int64_t id) = 0;
    // While waiting for record id, this process announces it to the others.
    virtual void announceWait(std::int64_t id, bool waiting) = 0;
    // The record a holder announces it waits for, if any.
    virtual std::optional<std::int64_t> awaitedBy(std::int64_t holder) = 0;

    FileLayout layout_;
    std::string path_;
    FileIdentity identity_;
    bool exclusive_ = false;
    bool readOnly_ = false;
    bool inTransaction_ = false;

private:
    int checkedRow(int status, std::size_t key, const Record& row, const KeyValue& stored);
    int along(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out);
    int keyValues(std::span<const std::uint8_t> record);
    // True when the chain of holders and the records they wait for leads back to a record held here.
    bool wouldDeadlock(std::int64_t id);

    // Record id -> blocks of this process holding its lock; 0 for a lock kept only by the transaction.
    std::map<std::int64_t, int> heldRecords_;
    std::vector<KeyValue> keys_;  // key values of the record being written
    KeyValue fromBytes_;          // a row's key as its bytes say, reused by every read
    Record stored_;               // the record as stored, read before a write

    friend class WriteScope;
};

// Whether a file name is served by a database server (the environment's
// WBTRV32_SERVER, else the folder's server file) rather than being a file.
// `server` receives the connection string.
bool servedByServer(const std::string& path, std::string& server);

// The identity an open file of this name would have; false when there is no such file.
bool identifyByName(const std::string& path, FileIdentity& identity);

// Opens the data file of this name with the engine that keeps it; returns a
// status (12, 30, 85, 2, 20 on failure).
int openDataFile(const std::string& path, bool exclusive, std::unique_ptr<DataFile>& out);

}  // namespace wbtrv
