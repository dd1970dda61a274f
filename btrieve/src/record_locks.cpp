#include "record_locks.h"

#include <wbtrv32/btrieve.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace wbtrv {
namespace {

// Record id n locks byte kLockBase + n, far from the bytes SQLite locks near 1 GiB.
constexpr off_t kLockBase = off_t{1} << 40;
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
    while (::fcntl(fd_, F_SETLK, &range) != 0) {
        if (!wait || std::chrono::steady_clock::now() >= deadline) return B_RECORD_IN_USE;
        std::this_thread::sleep_for(kLockRetry);
    }
    held_[id] = 1;
    return B_NO_ERROR;
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
