// This process's record locks on one data file, seen by other processes as
// POSIX byte-range locks far beyond the bytes SQLite locks. Blocks of one
// process share them, so each record's lock is counted: it is taken for the
// first block that locks the record and dropped after the last releases it.
// Inside a transaction nothing is dropped before it ends: records released
// by their blocks and records the transaction changed stay locked until End
// or Abort, so no other process builds on what may yet be undone.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace wbtrv {

class RecordLocks {
public:
    RecordLocks() = default;
    RecordLocks(const RecordLocks&) = delete;
    RecordLocks& operator=(const RecordLocks&) = delete;
    // Closing the descriptor drops every POSIX lock of the process on the
    // file, SQLite's too: the owner closes its connection first.
    ~RecordLocks();

    // A descriptor for locking; without write access no lock can be taken.
    void open(const std::string& path);
    // Locks record id for one more block: 0, 84 when another process holds it
    // (after waiting up to a second when `wait`), 78 when the holder waits for
    // a record held here, 46 when the file cannot be locked.
    int acquire(std::int64_t id, bool wait);
    void release(std::int64_t id);
    // Begins keeping released locks until endTransaction.
    void beginTransaction() { inTransaction_ = true; }
    // Holds record id, changed by the transaction, until it ends.
    void keepChanged(std::int64_t id);
    // Drops the locks kept for the transaction that no block holds.
    void endTransaction();
    // True when another process holds record id.
    bool heldElsewhere(std::int64_t id) const;

private:
    // While waiting for record id, the process announces it to the others.
    void announceWait(std::int64_t id, bool waiting);
    // True when the chain of holders and the records they wait for leads back to a record held here.
    bool wouldDeadlock(std::int64_t id) const;

    int fd_ = -1;
    // Record id -> blocks of this process holding it; 0 for a lock kept only by the transaction.
    std::map<std::int64_t, int> held_;
    bool inTransaction_ = false;
};

}  // namespace wbtrv
