#include "operations/engines.h"

#include "operations/refused_engine.h"
#include "server/server_engine.h"
#include "sqlite/sqlite_engine.h"

#include <wbtrv32/folder_server.h>

namespace wbtrv {
namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

Engines::Engines() : folders_(makeSqliteEngine()) {}
Engines::~Engines() = default;

Engine& Engines::keeping(const std::string& path) {
    const ServerChoice choice = serverOfFolder(folderOf(path));
    if (choice.source == ServerChoice::Source::Folder) return *folders_;
    const bool refused = choice.source == ServerChoice::Source::Refused;
    std::unique_ptr<Engine>& engine = (refused ? refused_ : servers_)[refused ? choice.why : choice.connection];
    if (!engine) engine = refused ? makeRefusedEngine(choice.why) : makeServerEngine(choice.connection);
    return *engine;
}

}  // namespace wbtrv
