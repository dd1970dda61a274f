// A whole-file lock that tells processes using the record manager that a file
// is open: shared for ordinary opens, exclusive for an exclusive open or while
// a file is replaced. It is independent of SQLite's own byte-range locks.
#pragma once

#include <sys/types.h>

#include <string>

namespace wbtrv {

// A file on disk by its device and inode.
struct DiskIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const DiskIdentity&) const = default;
};

class OpenLock {
public:
    OpenLock() = default;
    OpenLock(OpenLock&& other) noexcept;
    OpenLock& operator=(OpenLock&& other) noexcept;
    OpenLock(const OpenLock&) = delete;
    OpenLock& operator=(const OpenLock&) = delete;
    ~OpenLock();

    // Opens path and takes the lock without waiting; returns a status
    // (0, 12 missing, 30 a FIFO, device or socket, 85 held elsewhere, 2 other failure).
    int acquire(const std::string& path, bool exclusive);
    // Makes a shared lock exclusive while no other process holds one: 0, or
    // 85 when one does. Failing, the lock is shared again, unless another
    // process took it whole in the moment between (the conversion is not
    // atomic): then 2, and the lock is lost.
    int makeExclusive();
    // Makes an exclusive lock shared again.
    void makeShared();
    const DiskIdentity& identity() const { return identity_; }

private:
    void release();
    // Kept open while any SQLite connection of this process uses the file:
    // closing a descriptor drops every POSIX lock the process holds on it.
    int fd_ = -1;
    DiskIdentity identity_;
};

// Whether path names a FIFO, a device or a socket (through a link too).
bool isSpecialFile(const std::string& path);

// Identity of the file at path; false when it does not exist as a regular file.
bool identify(const std::string& path, DiskIdentity& identity);

}  // namespace wbtrv
