#include "wbtrv32/folder_server.h"

#include "wbtrv32/libpq_library.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <system_error>

namespace wbtrv {
namespace {

// The connection keywords a folder's file may not use, and why: each decides
// where a password, key or ticket is sent or read from, or which server is
// trusted to receive it. Only the user's own environment may say so.
struct GuardedKeyword {
    std::string_view keyword;
    // The values a folder may still give it (asking for more protection,
    // never less); none: the keyword is the environment's alone.
    std::string_view allowed[3] = {};
};

constexpr GuardedKeyword kGuardedKeywords[] = {
    {"hostaddr", {}},     // the address connected to, while host still picks the ~/.pgpass line sent there
    {"password", {}},     // a password belongs in ~/.pgpass, not in a file others may read
    {"passfile", {}},     // where the password is read from
    {"service", {}},      // settings from a service file, which this check would not see
    {"servicefile", {}},  // the same, from a file of the folder's choosing
    {"sslcert", {}},      // the client's certificate and key, and the key's password
    {"sslkey", {}},
    {"sslpassword", {}},
    {"sslrootcert", {}},  // which servers are believed to be the one named
    {"sslcrl", {}},
    {"sslcrldir", {}},
    {"requirepeer", {}},  // which local server process is believed
    {"krbsrvname", {}},   // which Kerberos service gets a ticket, through which library
    {"gsslib", {}},
    {"sslmode", {"require", "verify-ca", "verify-full"}},  // never weaker than the environment asks
    {"gssencmode", {"require"}},
    {"channel_binding", {"require"}},
};

ServerChoice refused(std::string why) { return {ServerChoice::Source::Refused, {}, std::move(why)}; }

std::string trimmed(std::string_view line) {
    const auto begin = line.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) return {};
    return std::string(line.substr(begin, line.find_last_not_of(" \t\r") - begin + 1));
}

// The first line that is neither blank nor a comment; empty when there is none.
std::string connectionIn(std::string_view text) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string line = trimmed(text.substr(0, end));
        if (!line.empty() && line[0] != '#') return line;
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return {};
}

// Why the connection string may not come from a folder; empty when it may.
// A string libpq cannot read is left for the connection to refuse, in its
// words; one that cannot be read for want of libpq is refused here.
std::string guardedKeywordIn(const std::string& connection) {
    if (!libpq().loaded()) return "cannot be checked: " + libpq().failure;
    char* error = nullptr;
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        libpq().PQconninfoParse(connection.c_str(), &error), libpq().PQconninfoFree);
    libpq().PQfreemem(error);
    if (!options) return {};
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
        if (!option->val) continue;
        for (const GuardedKeyword& guarded : kGuardedKeywords) {
            if (guarded.keyword != option->keyword) continue;
            bool allowed = false;
            for (std::string_view value : guarded.allowed)
                allowed = allowed || (!value.empty() && value == option->val);
            if (!allowed)
                return "sets " + std::string(guarded.keyword) +
                       ", which only WBTRV32_SERVER may set: it decides where credentials go or come from";
        }
    }
    return {};
}

std::string errorText(int error) { return std::error_code(error, std::generic_category()).message(); }
std::string tooLarge() { return "is larger than " + std::to_string(kLargestServerFile) + " bytes"; }

// Why the file opened, found by lstat as `named` and by fstat as `opened`,
// is not to be trusted; empty when it is.
std::string untrusted(const struct stat& named, const struct stat& opened) {
    if (!S_ISREG(opened.st_mode) || opened.st_dev != named.st_dev || opened.st_ino != named.st_ino)
        return "was replaced while it was read";
    if (opened.st_uid != ::geteuid() && opened.st_uid != 0)
        return "belongs to another user (uid " + std::to_string(opened.st_uid) + "), not to you or root";
    if ((opened.st_mode & (S_IWGRP | S_IWOTH)) != 0) return "may be written by others than its owner (chmod go-w it)";
    if (opened.st_size > kLargestServerFile) return tooLarge();
    return {};
}

// The folder's file, read when it is to be trusted.
ServerChoice readServerFile(const std::string& path) {
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return {};
        return refused("cannot be looked at: " + errorText(errno));
    }
    if (!S_ISREG(named.st_mode)) return refused("is not a regular file (a link, folder, FIFO or device)");
    // Not following a link and never waiting for a FIFO's writer, should
    // the name have been replaced since the look.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return refused("cannot be read: " + errorText(errno));
    struct stat opened {};
    std::string why = ::fstat(fd, &opened) == 0 ? untrusted(named, opened) : "cannot be read: " + errorText(errno);
    // One byte more than allowed tells a file that grew since fstat.
    char text[kLargestServerFile + 1] = {};
    ssize_t got = 0, total = 0;
    while (why.empty() && total < static_cast<ssize_t>(sizeof text) &&
           (got = ::read(fd, text + total, sizeof text - static_cast<std::size_t>(total))) > 0)
        total += got;
    if (why.empty() && got < 0) why = "cannot be read: " + errorText(errno);
    if (why.empty() && total > kLargestServerFile) why = tooLarge();
    ::close(fd);
    if (!why.empty()) return refused(std::move(why));
    std::string connection = connectionIn(std::string_view(text, static_cast<std::size_t>(total)));
    if (connection.empty()) return {};
    if (why = guardedKeywordIn(connection); !why.empty()) return refused(std::move(why));
    return {ServerChoice::Source::FolderFile, std::move(connection), {}};
}

}  // namespace

ServerChoice serverOfFolder(const std::string& folder) {
    if (const char* variable = std::getenv("WBTRV32_SERVER"); variable && *variable)
        return {ServerChoice::Source::Environment, variable, {}};
    return readServerFile((folder.empty() ? std::string(".") : folder) + "/" + kServerFileName);
}

}  // namespace wbtrv
