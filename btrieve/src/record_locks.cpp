#include "record_locks.h"

#include <wbtrv32/btrieve.h>

#include <fcntl.h>
#include <unistd.h>

namespace wbtrv {
namespace {

// Record id n locks byte kLockBase + n, far from the bytes SQLite locks near 1 GiB.
constexpr off_t kLockBase = off_t{1} << 40;

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

bool RecordLocks::heldElsewhere(std::int64_t id) const {
    if (fd_ < 0) return false;
    struct flock range = byteOf(id, F_WRLCK);
    return ::fcntl(fd_, F_GETLK, &range) == 0 && range.l_type != F_UNLCK;
}

}  // namespace wbtrv
