// Which engine keeps a data file of a given name: the database server the
// environment or the file's folder names, else the file itself.
#include "operations/open_file.h"
#include "server/server_file.h"
#include "server/server_schema.h"
#include "sqlite/sqlite_file.h"

#include <cstdlib>
#include <fstream>

namespace wbtrv {
namespace {

// The file in a data folder naming the server of the world in that folder.
constexpr const char* kServerFile = "wbtrv32.server";

std::string trimmed(const std::string& line) {
    const auto begin = line.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return {};
    return line.substr(begin, line.find_last_not_of(" \t\r") - begin + 1);
}

}  // namespace

bool servedByServer(const std::string& path, std::string& server) {
    if (const char* variable = std::getenv("WBTRV32_SERVER"); variable && *variable) {
        server = variable;
        return true;
    }
    // The first line that is neither blank nor a comment (#) is the connection string.
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::ifstream in(folder + "/" + kServerFile);
    for (std::string line; std::getline(in, line);) {
        server = trimmed(line);
        if (!server.empty() && server[0] != '#') return true;
    }
    server.clear();
    return false;
}

bool identifyByName(const std::string& path, FileIdentity& identity) {
    if (std::string server; servedByServer(path, server)) {
        identity = {0, 0, server + '\n' + nameOnServer(path)};
        return true;
    }
    return identify(path, identity);
}

int openDataFile(const std::string& path, bool exclusive, std::unique_ptr<DataFile>& out) {
    if (std::string server; servedByServer(path, server)) return PgFile::open(server, path, exclusive, out);
    return SqliteFile::open(path, exclusive, out);
}

}  // namespace wbtrv
