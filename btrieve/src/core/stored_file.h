// One data file as its engine keeps it, open in this process: the primitives
// the operations are written over. The rules of the record manager (the walk
// along a key, the checks before a write, the counting of record locks) are
// the operations'; an engine answers each primitive whole, in one transaction
// of its own or inside the process's transaction.
#pragma once

#include "core/file_layout.h"
#include "core/journal.h"
#include "core/record.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wbtrv {

class Engine;

// Which file a name means, as its engine knows files: equal for two names of
// the same file, different for different files. What `key` holds is the
// engine's own (a file on disk: its device and inode; a file on a server:
// its name there, the engine standing for the server).
struct FileIdentity {
    const Engine* engine = nullptr;
    std::string key;
    bool operator==(const FileIdentity&) const = default;
};

// A write of record `id` that happens only while the record still holds
// `expected` (the bytes the position block read) and no other process holds
// its lock.
struct CompareAndWrite {
    enum class Write {
        Update,   // replaces the record with `record`, whose key values are `keys`
        Delete,   // removes the record
        Nothing,  // only compares: what an Update or Delete would answer before writing
    };
    Write write = Write::Nothing;
    std::int64_t id = 0;
    std::span<const std::uint8_t> expected;
    std::span<const std::uint8_t> record;
    std::span<const KeyValue> keys;
};

class StoredFile {
public:
    StoredFile() = default;
    StoredFile(const StoredFile&) = delete;
    StoredFile& operator=(const StoredFile&) = delete;
    virtual ~StoredFile() = default;

    const FileLayout& layout() const { return layout_; }
    const FileIdentity& identity() const { return identity_; }
    // True when this process may not change the file (every write answers 46).
    bool readOnly() const { return readOnly_; }

    // Reads. Along key `key`: the record KeyQuery names, and the value its
    // key column holds in `stored` (the operations check it against the
    // record's bytes). 0, 9 when there is none, or a failure (2, 18, 20 ...).
    virtual int readAlong(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out,
                          KeyValue& stored) = 0;
    // In physical order; 9 when there is none.
    virtual int readAt(RowQuery which, std::int64_t id, Record& out) = 0;
    virtual int count(std::uint64_t& records) = 0;

    // Writes. Outside the process's transaction each commits on its own, in
    // one transaction of the engine that first takes the file's write lock
    // (waiting up to kWriteLockWaitMs, then 85); inside it each joins it,
    // the first taking the write lock until End or Abort, and a failed write
    // is undone alone.
    //
    // Adds a record, giving each autoincrement key holding 0 the value after
    // the highest in the file (written into `record`): 0 with the new id, 5
    // duplicate (or no autoincrement value left), 41 a key value that cannot
    // be stored, 46, 85, 18, 2 or 20.
    virtual int insert(std::vector<std::uint8_t>& record, std::int64_t& id) = 0;
    // 0 when written (or, for Nothing, when it could be), 84 when another
    // process holds the record, 80 when it changed or is gone since it was
    // read (84 before 80), 5 when the new record repeats a unique key's
    // value; 46, 85, 18, 2 or 20 when the engine fails.
    virtual int compareAndWrite(const CompareAndWrite& change) = 0;

    // Record locks as other processes see them, taken once per process
    // (the operations count the blocks holding each). Takes record id's lock
    // without waiting: 0, 84 held elsewhere, 46 a file that cannot be locked.
    virtual int tryLockRecord(std::int64_t id) = 0;
    virtual void unlockRecord(std::int64_t id) = 0;
    // The process (or server session) holding record id against this one.
    virtual std::optional<std::int64_t> recordHolder(std::int64_t id) = 0;
    // While waiting for record id, this process announces it to the others,
    // so that a circle of waits is seen (78) rather than waited out.
    virtual void announceWait(std::int64_t id, bool waiting) = 0;
    // The record a holder announces it waits for, if any.
    virtual std::optional<std::int64_t> awaitedBy(std::int64_t holder) = 0;

    // The journal of changes (core/journal.h), which the engine writes with
    // every Insert, Update and Delete, in the same commit, while it is on.
    // Its state and entries as this process sees them (inside its
    // transaction, with the transaction's own changes): 0, or 2 when the
    // journal cannot be read, 20.
    virtual int journalState(JournalState& out) = 0;
    virtual int readJournal(const JournalQuery& query, const JournalSink& sink) = 0;
    // Switches the journal on or off. A file without one gets it, which the
    // caller allows only while this process holds the file exclusively: a
    // process that opened it without one would not journal its changes.
    // 0, 46, 85, 18, 2 or 20.
    virtual int switchJournal(bool on) = 0;
    // Drops old entries; `removed` says how many. 0, 46, 85, 18, 2 or 20.
    virtual int pruneJournal(const JournalPrune& prune, std::uint64_t& removed) = 0;

    // The process's transaction, from Begin to End or Abort: writes join it
    // and nothing commits until it ends. End commits (0, or the failure, in
    // which case everything is undone); Abort rolls back.
    void beginTransaction() { inTransaction_ = true; }
    int endTransaction(bool commit) {
        inTransaction_ = false;
        return finishTransaction(commit);
    }
    bool inTransaction() const { return inTransaction_; }
    // True when the open transaction has written to this file (or tried to):
    // the file cannot be closed before the transaction ends.
    virtual bool changedInTransaction() const = 0;

protected:
    virtual int finishTransaction(bool commit) = 0;

    FileLayout layout_;
    FileIdentity identity_;
    bool readOnly_ = false;

private:
    bool inTransaction_ = false;
};

}  // namespace wbtrv
