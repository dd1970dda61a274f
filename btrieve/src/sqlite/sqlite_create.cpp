// Create on the SQLite engine: a new file is built whole under a temporary
// name and renamed over the name, so a failure leaves no half-made file.
#include "sqlite/open_lock.h"
#include "sqlite/schema.h"
#include "sqlite/sqlite_engine.h"

#include <wbtrv32/btrieve.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace wbtrv {
namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Makes a finished rename durable: the directory entry must reach the disk too.
void syncDirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

int buildFile(const std::string& temp, const FileLayout& layout) {
    std::remove(temp.c_str());
    Database db;
    if (db.open(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX) != SQLITE_OK)
        return B_CREATE_IO_ERROR;
    // WAL: one sync per commit instead of the several a rollback journal needs,
    // and readers in other processes never wait for a writer. With
    // synchronous=FULL a commit is on disk before the caller hears of it.
    int rc = db.exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL");
    if (rc == SQLITE_OK) rc = createSchema(db, layout);
    db.close();
    if (rc != SQLITE_OK) {
        std::remove(temp.c_str());
        return (rc & 0xff) == SQLITE_FULL ? B_DISK_FULL : B_CREATE_IO_ERROR;
    }
    return B_NO_ERROR;
}

}  // namespace

int SqliteEngine::create(const std::string& path, const FileLayout& layout, bool replace) {
    OpenLock replaced;
    if (isSpecialFile(path)) return B_NOT_A_DATA_FILE;
    if (exists(path)) {
        if (!replace) return B_FILE_ALREADY_EXISTS;
        // Held until the new file is in place: no other process may have the old one open.
        const int status = replaced.acquire(path, true);
        if (status == B_FILE_IN_USE) return status;
    }
    const std::string temp = path + ".creating-" + std::to_string(::getpid());
    if (const int status = buildFile(temp, layout); status != B_NO_ERROR) return status;
    // The old file's journal files must not be applied to the new file.
    for (const char* suffix : {"-wal", "-shm", "-journal"}) std::remove((path + suffix).c_str());
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return B_CREATE_IO_ERROR;
    }
    syncDirectoryOf(path);
    return B_NO_ERROR;
}

}  // namespace wbtrv
