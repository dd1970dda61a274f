#include "operations/engines.h"

#include "server/server_engine.h"
#include "sqlite/sqlite_engine.h"

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

// The connection string of the server keeping the file of this name: the
// environment's WBTRV32_SERVER, else the first line of the folder's server
// file that is neither blank nor a comment (#); empty for a file on disk.
std::string serverOf(const std::string& path) {
    if (const char* variable = std::getenv("WBTRV32_SERVER"); variable && *variable) return variable;
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::ifstream in(folder + "/" + kServerFile);
    for (std::string line; std::getline(in, line);)
        if (std::string server = trimmed(line); !server.empty() && server[0] != '#') return server;
    return {};
}

}  // namespace

Engines::Engines() : folders_(makeSqliteEngine()) {}
Engines::~Engines() = default;

Engine& Engines::keeping(const std::string& path) {
    const std::string server = serverOf(path);
    if (server.empty()) return *folders_;
    std::unique_ptr<Engine>& engine = servers_[server];
    if (!engine) engine = makeServerEngine(server);
    return *engine;
}

}  // namespace wbtrv
