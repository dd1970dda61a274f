// Which server keeps the data files of a folder: the one the environment's
// WBTRV32_SERVER names, else the one the folder's wbtrv32.server names, else
// none (the files are in the folder). A folder comes from anywhere (an
// archive, a shared drive, another user's home), so its wbtrv32.server is
// honoured only when nobody but the user (or root) can have written it, and
// it may not say where credentials are sent or read from.
#pragma once

#include <string>

namespace wbtrv {

// The name of the folder's file naming its server.
inline constexpr const char* kServerFileName = "wbtrv32.server";
// The largest wbtrv32.server read; a connection string is far shorter.
inline constexpr long kLargestServerFile = 512;

struct ServerChoice {
    enum class Source {
        Folder,       // no server: the files are in the folder
        Environment,  // WBTRV32_SERVER names it
        FolderFile,   // the folder's wbtrv32.server names it
        Refused,      // the folder's wbtrv32.server is not trusted: the files are nowhere
    };
    Source source = Source::Folder;
    std::string connection;  // the connection string, for Environment and FolderFile
    std::string why;         // for Refused, what follows "wbtrv32.server " in a sentence saying why
};

// The server of the files in `folder`. The folder's wbtrv32.server is read
// only when it is a regular file (not a link, FIFO or device) of at most
// kLargestServerFile bytes, owned by the user or by root and writable by
// nobody else (no group or other write bit); its first line that is
// neither blank nor a comment (#) is the connection string, which may not
// use the keywords that decide where credentials go or come from (only
// WBTRV32_SERVER may). Anything else about it is Refused, never blocking.
ServerChoice serverOfFolder(const std::string& folder);

}  // namespace wbtrv
