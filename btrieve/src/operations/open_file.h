// One data file as this process has it open, whatever engine keeps it: the
// rules every position block of the process shares, written once over the
// engine's primitives (the order of a walk along a key, damaged records
// refused where they are met, the checks before a write, the counting of
// record locks and the records a transaction keeps locked).
#pragma once

#include "core/stored_file.h"

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace wbtrv {

// Where a read along a key goes, relative to a starting key value and record id.
// Greater and Less pass every duplicate of the value; Next and Previous move
// to the neighbouring duplicate first.
enum class Seek { First, Last, Next, Previous, Equal, Greater, GreaterOrEqual, Less, LessOrEqual };

class OpenFile {
public:
    OpenFile(std::string path, bool exclusive, std::unique_ptr<StoredFile> stored);
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    const FileLayout& layout() const { return stored_->layout(); }
    // The name it was opened by.
    const std::string& path() const { return path_; }
    const FileIdentity& identity() const { return stored_->identity(); }
    bool exclusive() const { return exclusive_; }
    // True when this process may not write the file.
    bool readOnly() const { return stored_->readOnly(); }
    // The file as its engine keeps it, for what needs no rule of the operations (its journal).
    StoredFile& stored() { return *stored_; }

    // Reads one record along key `key`. Next/Previous start after/before
    // (value, id); the others compare with value. Status 0, 9 (no record) or 4 (Equal).
    int seek(Seek how, std::size_t key, const KeyValue& value, std::int64_t id, Record& out);
    // Reads the record after (forward) or before id in physical order; 9 at the end.
    int step(bool forward, std::int64_t id, Record& out);
    // Reads record id; 43 when there is none.
    int read(std::int64_t id, Record& out);
    int count(std::uint64_t& records) { return stored_->count(records); }

    // Adds record, giving each autoincrement key holding 0 its next value
    // (written into record). Returns a status; on 0 `id` is the new record's.
    int insert(std::vector<std::uint8_t>& record, std::int64_t& id) { return stored_->insert(record, id); }
    // Replaces record `id` if it still holds `expected`: 84 when another
    // process holds it, then 80 when it changed since it was read, and only
    // then 10 when a key that is not modifiable changes.
    int update(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record);
    // Removes record `id` if it still holds `expected` (84, 80 as update).
    int remove(std::int64_t id, std::span<const std::uint8_t> expected);

    // The process's transaction (Begin to End or Abort): records released by
    // their blocks and records the transaction changed stay locked until it
    // ends, so no other process builds on what may yet be undone.
    void joinTransaction() { stored_->beginTransaction(); }
    int finishTransaction(bool commit);
    bool changedInTransaction() const { return stored_->changedInTransaction(); }
    // Holds record id, changed by the open transaction, until it ends.
    void keepChanged(std::int64_t id);

    // Takes the lock of record id for one more block of this process: 0, 84
    // held elsewhere (after up to a second when `wait`), 78 when waiting would
    // close a circle of waits, 46 a file that cannot be locked.
    int lockRecord(std::int64_t id, bool wait);
    // One block gives up its lock of record id; the last one releases it,
    // unless the transaction keeps it.
    void releaseRecord(std::int64_t id);

    // Position blocks of this process using the file.
    int users = 0;

private:
    int checkedRow(int status, std::size_t key, const Record& row, const KeyValue& stored);
    int along(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out);
    // True when the chain of holders and the records they wait for leads back to a record held here.
    bool wouldDeadlock(std::int64_t id);

    std::string path_;
    bool exclusive_;
    std::unique_ptr<StoredFile> stored_;
    // Record id -> blocks of this process holding its lock; 0 for a lock kept only by the transaction.
    std::map<std::int64_t, int> heldRecords_;
    std::vector<KeyValue> keys_;  // key values of the record being written
    KeyValue fromBytes_;          // a row's key as its bytes say, reused by every read
};

}  // namespace wbtrv
