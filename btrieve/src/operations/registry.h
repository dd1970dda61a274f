// The record manager's process-wide state: the engines, the data files this
// process has open, one handle (file, open mode, cursor) per position block
// in use, and the process's transaction over all its files.
#pragma once

#include "core/position_block.h"
#include "operations/call_args.h"
#include "operations/engines.h"
#include "operations/open_file.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wbtrv {

// Where a position block stands: in a key's order and in physical order.
struct Cursor {
    bool positioned = false;      // a key position is set (by a Get or Insert, not by a Step)
    bool hasCurrent = false;      // the record at the position exists (not deleted, not read key-only)
    bool skipDuplicates = false;  // the last Get read the key only: Next/Previous pass its duplicates
    int keyNumber = 0;            // key the position follows
    KeyValue keyValue;
    std::int64_t recordId = 0;           // physical place, where a Step moves from; 0 before the first record
    std::vector<std::uint8_t> lastRead;  // bytes of the current record as last read or written
};

struct Handle {
    std::uint64_t generation = 0;
    const void* block = nullptr;  // where the caller's block was when opened
    OpenFile* file = nullptr;
    bool readOnly = false;
    bool ownerNamed = false;  // opened with the file's owner name, or the block that set it
    Cursor cursor;
    // Records this block holds locked: at most one single lock, or any number of multiple locks.
    std::optional<std::int64_t> singleLock;
    std::set<std::int64_t> multipleLocks;
    Record scratch;     // reused for every read, so a Get allocates nothing
    BatchAnswer batch;  // reused by every extended read
};

class Registry {
public:
    // The one instance per process: the published interface passes no context.
    static Registry& instance();

    std::mutex& mutex() { return mutex_; }
    // In a child process after fork(): forget the parent's files and blocks
    // without touching their connections, which belong to the parent.
    void leaveParentState();

    // The handle of a block we set up and that is still open, else nullptr.
    Handle* handleOf(const void* block);
    OpenFile* fileWithIdentity(const FileIdentity& identity);
    // The engine keeping the file of this name.
    Engine& engineFor(const std::string& path) { return engines_.keeping(path); }

    // Opens the file for a block; `ownerName` is the name the Open brought (empty: none).
    int open(const std::string& path, std::int8_t mode, void* block, std::string_view ownerName);
    // Releases the record locks of a block: all, or those on record id.
    static void unlock(Handle& handle);
    static void unlock(Handle& handle, std::int64_t id, bool multipleToo);
    void close(void* block);
    // Aborts the open transaction, closes every file and forgets every block.
    void closeAll();

    // The process's transaction over all its files: 37 when one is already
    // open, 39 to end one that is not.
    int beginTransaction();
    int endTransaction(bool commit);
    bool inTransaction() const { return inTransaction_; }

    // The record manager's current directory of this process: a file name
    // that is not absolute is taken from it. Empty until Set Directory sets
    // it: names are then taken from the process's working directory.
    std::string resolve(const std::string& name) const;
    const std::string& directory() const { return directory_; }
    void setDirectory(std::string directory) { directory_ = std::move(directory); }

private:
    Registry();
    ~Registry() = default;

    // Fork handlers: the lock is held across fork(), so a child never starts
    // with it locked by a thread it does not have; the child notes its birth.
    static void beforeFork();
    static void afterForkInParent();
    static void afterForkInChild();

    std::mutex mutex_;
    Engines engines_;
    bool forked_ = false;
    bool inTransaction_ = false;
    std::uint32_t nextId_ = 1;
    std::uint64_t nextGeneration_;
    std::unordered_map<std::uint32_t, Handle> handles_;
    std::vector<std::unique_ptr<OpenFile>> files_;
    std::vector<OpenFile*> inherited_;  // a parent's files, deliberately never closed
    std::string directory_;
};

}  // namespace wbtrv
