// A data file's record locks as other processes see them: POSIX byte-range
// locks far beyond the bytes SQLite locks, one byte per record id, and the
// range by which a waiting process announces the record it waits for.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
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
    // Locks record id without waiting: 0, 84 when another process holds it,
    // 46 when the file cannot be locked.
    int tryLock(std::int64_t id);
    void release(std::int64_t id);
    // The process holding record id against this one, if any.
    std::optional<pid_t> holder(std::int64_t id) const;
    // While waiting for record id, the process announces it to the others.
    void announceWait(std::int64_t id, bool waiting);
    // The record process pid announces it waits for, if any.
    std::optional<std::int64_t> awaitedBy(pid_t pid) const;

private:
    int fd_ = -1;
};

}  // namespace wbtrv
