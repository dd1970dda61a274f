// A data file's record locks as other processes see them: POSIX byte-range
// locks far beyond the bytes SQLite locks, one byte per record id.
#pragma once

#include <cstdint>
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
    // True when another process holds record id.
    bool heldElsewhere(std::int64_t id) const;

private:
    int fd_ = -1;
};

}  // namespace wbtrv
