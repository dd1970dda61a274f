#include "sqlite/file_access.h"

#include "sqlite/schema.h"

#include <wbtrv32/btrieve.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace wbtrv {
namespace {

// The byte of the shared-memory file every connection holds a read lock on
// while it uses the log (SQLite's Unix layer: 22 + 8 words, then 8 lock bytes).
constexpr off_t kShmConnectionByte = 128;

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// A file: URI for path; the characters a URI gives meaning to are escaped.
std::string uriOf(const std::string& path, const char* parameters) {
    std::string uri = "file:";
    for (const unsigned char c : path) {
        if (c == '?' || c == '#' || c == '%' || c < 0x20) {
            static const char hex[] = "0123456789abcdef";
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?" + parameters;
}

// Process holding a lock that conflicts with a write lock on the byte, or 0.
pid_t lockHolder(const std::string& path, off_t byte) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return 0;
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    query.l_start = byte;
    query.l_len = 1;
    const bool held = ::fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK;
    ::close(fd);
    return held ? query.l_pid : 0;
}

// Whether process pid holds a whole-file lock (our open lock) on the file.
bool holdsOpenLock(pid_t pid, const DiskIdentity& identity) {
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        // "1: FLOCK  ADVISORY  READ  1234 08:01:5678 0 EOF"; waiters are marked "->".
        std::istringstream in(line);
        std::string number, kind, mode, access, device;
        long holder = 0;
        if (!(in >> number >> kind) || kind != "FLOCK" || !(in >> mode >> access >> holder >> device)) continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(device.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) continue;
        if (holder == pid && makedev(major, minor) == identity.device && inode == identity.inode) return true;
    }
    return false;
}

// Whether process pid has the file open: through its descriptors where this
// process may look at them, else through its whole-file lock (our open lock).
bool hasFileOpen(pid_t pid, const DiskIdentity& identity) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    if (DIR* dir = ::opendir(fds.c_str())) {
        bool found = false;
        while (const dirent* entry = ::readdir(dir)) {
            struct stat st {};
            if (entry->d_name[0] != '.' && ::stat((fds + "/" + entry->d_name).c_str(), &st) == 0 &&
                st.st_dev == identity.device && st.st_ino == identity.inode)
                found = true;
        }
        ::closedir(dir);
        return found;
    }
    return holdsOpenLock(pid, identity);
}

}  // namespace

int identifyDataFile(const std::string& path, FileLayout& layout, std::string& why) {
    Database db;
    const int rc = db.open(uriOf(path, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX);
    if (rc != SQLITE_OK) {
        why = "the file cannot be read";
        const int status = statusFromSqlite(rc);
        return status == B_NO_ERROR ? B_IO_ERROR : status;
    }
    const int status = readLayout(db, layout, why);
    // A writer killed while copying its log into the file leaves there pages of
    // two moments, which read as damage; the log still holds the newer ones, so
    // the file is read again through it, still writing nothing to file or log.
    Database logged;
    if (status != B_NOT_A_DATA_FILE || !exists(path + "-wal") || connectReadOnly(logged, path) != B_NO_ERROR)
        return status;
    return readLayout(logged, layout, why);
}

bool journalOfAnotherFile(const std::string& path, const DiskIdentity& identity) {
    const pid_t holder = lockHolder(path + "-shm", kShmConnectionByte);
    return holder > 0 && !hasFileOpen(holder, identity);
}

bool moved(const std::string& path, const DiskIdentity& identity) {
    DiskIdentity now;
    return !identify(path, now) || !(now == identity);
}

int connectReadOnly(Database& db, const std::string& path) {
    // Without a log there is nothing to recover and no writer to follow.
    const bool logged = exists(path + "-wal");
    const int rc = db.open(uriOf(path, logged ? "mode=ro" : "mode=ro&immutable=1"),
                           SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX);
    return rc == SQLITE_OK ? B_NO_ERROR : statusFromSqlite(rc);
}

int connectDataFile(Database& db, const std::string& path, bool& readOnly) {
    readOnly = ::access(path.c_str(), W_OK) != 0 || ::access(folderOf(path).c_str(), W_OK) != 0;
    if (!readOnly && db.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX) == SQLITE_OK) return B_NO_ERROR;
    readOnly = true;
    return connectReadOnly(db, path);
}

}  // namespace wbtrv
