#include "sqlite/record_locks.h"

#include <wbtrv32/btrieve.h>

#include <fcntl.h>
#include <unistd.h>

namespace wbtrv {
namespace {

// Record id n locks byte kLockBase + n, far from the bytes SQLite locks near 1 GiB.
constexpr off_t kLockBase = off_t{1} << 40;
// A waiting process locks a range of its own from kWaitBase + (pid << 32),
// as long as the id of the record it waits for: another process reads both
// back with F_GETLK. Record ids stay below 2^32, so nothing overlaps.
constexpr off_t kWaitBase = off_t{1} << 50;
constexpr off_t kWaitSpan = off_t{1} << 32;

struct flock byteOf(std::int64_t id, short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = kLockBase + id;
    range.l_len = 1;
    return range;
}

}  // namespace

RecordLocks::~RecordLocks() {
    if (fd_ >= 0) ::close(fd_);
}

void RecordLocks::open(const std::string& path) { fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY); }

int RecordLocks::tryLock(std::int64_t id) {
    if (fd_ < 0) return B_ACCESS_DENIED;
    struct flock range = byteOf(id, F_WRLCK);
    return ::fcntl(fd_, F_SETLK, &range) == 0 ? B_NO_ERROR : B_RECORD_IN_USE;
}

void RecordLocks::release(std::int64_t id) {
    struct flock range = byteOf(id, F_UNLCK);
    ::fcntl(fd_, F_SETLK, &range);
}

std::optional<pid_t> RecordLocks::holder(std::int64_t id) const {
    if (fd_ < 0) return std::nullopt;
    struct flock range = byteOf(id, F_WRLCK);
    if (::fcntl(fd_, F_GETLK, &range) != 0 || range.l_type == F_UNLCK) return std::nullopt;
    return range.l_pid;
}

void RecordLocks::announceWait(std::int64_t id, bool waiting) {
    if (fd_ < 0 || id <= 0 || id >= kWaitSpan) return;
    struct flock range {};
    range.l_type = waiting ? F_RDLCK : F_UNLCK;
    range.l_whence = SEEK_SET;
    range.l_start = kWaitBase + (off_t{::getpid()} << 32);
    range.l_len = waiting ? id : kWaitSpan;
    ::fcntl(fd_, F_SETLK, &range);
}

std::optional<std::int64_t> RecordLocks::awaitedBy(pid_t pid) const {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = kWaitBase + (off_t{pid} << 32);
    range.l_len = kWaitSpan;
    if (fd_ < 0 || ::fcntl(fd_, F_GETLK, &range) != 0 || range.l_type == F_UNLCK) return std::nullopt;
    return range.l_len;
}

}  // namespace wbtrv
