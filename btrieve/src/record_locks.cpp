#include "record_locks.h"

#include <wbtrv32/btrieve.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>

namespace wbtrv {
namespace {

// Record id n locks byte kLockBase + n, far from the bytes SQLite locks near 1 GiB.
constexpr off_t kLockBase = off_t{1} << 40;
// A waiting process locks a range of its own from kWaitBase + (pid << 32),
// as long as the id of the record it waits for: another process reads both
// back with F_GETLK. Record ids stay below 2^32, so nothing overlaps.
constexpr off_t kWaitBase = off_t{1} << 50;
constexpr off_t kWaitSpan = off_t{1} << 32;
// Deadlock circles longer than this end in the wait's timeout instead.
constexpr int kMaxChain = 16;
// How long a wait lock waits for another process before answering 84.
constexpr auto kLockWait = std::chrono::seconds(1);
constexpr auto kLockRetry = std::chrono::milliseconds(5);

struct flock byteOf(std::int64_t id, short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = kLockBase + id;
    range.l_len = 1;
    return range;
}

// The process holding record id against this one, if any.
std::optional<pid_t> holderOf(int fd, std::int64_t id) {
    struct flock range = byteOf(id, F_WRLCK);
    if (::fcntl(fd, F_GETLK, &range) != 0 || range.l_type == F_UNLCK) return std::nullopt;
    return range.l_pid;
}

// The record process pid announces it waits for, if any.
std::optional<std::int64_t> awaitedBy(int fd, pid_t pid) {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = kWaitBase + (off_t{pid} << 32);
    range.l_len = kWaitSpan;
    if (::fcntl(fd, F_GETLK, &range) != 0 || range.l_type == F_UNLCK) return std::nullopt;
    return range.l_len;
}

}  // namespace

RecordLocks::~RecordLocks() {
    if (fd_ >= 0) ::close(fd_);
}

void RecordLocks::open(const std::string& path) { fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY); }

int RecordLocks::acquire(std::int64_t id, bool wait) {
    if (fd_ < 0) return B_ACCESS_DENIED;
    if (const auto it = held_.find(id); it != held_.end()) {
        ++it->second;
        return B_NO_ERROR;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    struct flock range = byteOf(id, F_WRLCK);
    int status = B_NO_ERROR;
    while (status == B_NO_ERROR && ::fcntl(fd_, F_SETLK, &range) != 0) {
        if (!wait || std::chrono::steady_clock::now() >= deadline) {
            status = B_RECORD_IN_USE;
        } else if (announceWait(id, true); wouldDeadlock(id)) {
            status = B_DEADLOCK;
        } else {
            std::this_thread::sleep_for(kLockRetry);
        }
    }
    if (wait) announceWait(id, false);
    if (status == B_NO_ERROR) held_[id] = 1;
    return status;
}

void RecordLocks::announceWait(std::int64_t id, bool waiting) {
    if (id <= 0 || id >= kWaitSpan) return;
    struct flock range {};
    range.l_type = waiting ? F_RDLCK : F_UNLCK;
    range.l_whence = SEEK_SET;
    range.l_start = kWaitBase + (off_t{::getpid()} << 32);
    range.l_len = waiting ? id : kWaitSpan;
    ::fcntl(fd_, F_SETLK, &range);
}

bool RecordLocks::wouldDeadlock(std::int64_t id) const {
    for (int link = 0; link < kMaxChain; ++link) {
        const std::optional<pid_t> holder = holderOf(fd_, id);
        if (!holder) return false;
        const std::optional<std::int64_t> awaited = awaitedBy(fd_, *holder);
        if (!awaited) return false;
        if (held_.contains(*awaited)) return true;
        id = *awaited;
    }
    return false;
}

void RecordLocks::release(std::int64_t id) {
    const auto it = held_.find(id);
    if (it == held_.end() || it->second == 0 || --it->second > 0 || inTransaction_) return;
    held_.erase(it);
    struct flock range = byteOf(id, F_UNLCK);
    ::fcntl(fd_, F_SETLK, &range);
}

// The transaction's write already holds the file against other writers, so
// a lock another process took on the record since is no reason to fail it.
void RecordLocks::keepChanged(std::int64_t id) {
    if (held_.contains(id)) return;
    if (acquire(id, false) == B_NO_ERROR) held_[id] = 0;
}

void RecordLocks::endTransaction() {
    inTransaction_ = false;
    for (auto it = held_.begin(); it != held_.end();) {
        if (it->second > 0) {
            ++it;
            continue;
        }
        struct flock range = byteOf(it->first, F_UNLCK);
        ::fcntl(fd_, F_SETLK, &range);
        it = held_.erase(it);
    }
}

bool RecordLocks::heldElsewhere(std::int64_t id) const {
    if (fd_ < 0) return false;
    struct flock range = byteOf(id, F_WRLCK);
    return ::fcntl(fd_, F_GETLK, &range) == 0 && range.l_type != F_UNLCK;
}

}  // namespace wbtrv
