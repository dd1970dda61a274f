#include "sqlite/open_lock.h"

#include <wbtrv32/btrieve.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <utility>

namespace wbtrv {

OpenLock::OpenLock(OpenLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)), identity_(other.identity_) {}

OpenLock& OpenLock::operator=(OpenLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        identity_ = other.identity_;
    }
    return *this;
}

OpenLock::~OpenLock() { release(); }

void OpenLock::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

namespace {

// A FIFO, device or socket: never one of our files. Opening one could wait
// for a writer forever or act on a device, so such a name is answered
// without being opened.
bool special(mode_t mode) { return !S_ISREG(mode) && !S_ISDIR(mode); }

}  // namespace

bool isSpecialFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && special(st.st_mode);
}

int OpenLock::acquire(const std::string& path, bool exclusive) {
    release();
    if (isSpecialFile(path)) return B_NOT_A_DATA_FILE;
    // Non-blocking, for a name made a FIFO between the look and the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return B_FILE_NOT_FOUND;
        if (errno == ENXIO) return B_NOT_A_DATA_FILE;  // a socket, or a FIFO without a writer
        return errno == EACCES || errno == EPERM ? B_ACCESS_DENIED : B_IO_ERROR;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return special(st.st_mode) ? B_NOT_A_DATA_FILE : B_FILE_NOT_FOUND;
    }
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? B_FILE_IN_USE : B_IO_ERROR;
    }
    fd_ = fd;
    identity_ = {st.st_dev, st.st_ino};
    return B_NO_ERROR;
}

int OpenLock::makeExclusive() {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return B_NO_ERROR;
    if (errno != EWOULDBLOCK) return B_IO_ERROR;
    return ::flock(fd_, LOCK_SH | LOCK_NB) == 0 ? B_FILE_IN_USE : B_IO_ERROR;
}

void OpenLock::makeShared() { ::flock(fd_, LOCK_SH | LOCK_NB); }

bool identify(const std::string& path, DiskIdentity& identity) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    identity = {st.st_dev, st.st_ino};
    return true;
}

}  // namespace wbtrv
