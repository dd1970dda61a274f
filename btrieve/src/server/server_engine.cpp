#include "server/server_engine.h"

#include "server/server_file.h"
#include "server/server_schema.h"
#include "server/server_session.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

bool ServerEngine::identify(const std::string& path, FileIdentity& identity) const {
    std::string name = nameOnServer(path);
    if (name.empty()) return false;
    identity = {this, std::move(name)};
    return true;
}

int ServerEngine::open(const std::string& path, bool exclusive, std::unique_ptr<StoredFile>& out) {
    const std::string name = nameOnServer(path);
    if (name.empty()) return B_FILE_NOT_FOUND;
    std::shared_ptr<ServerSession> shared;
    if (const int status = session(shared); status != B_NO_ERROR) return status;
    return ServerFile::open(*this, std::move(shared), name, exclusive, out);
}

int ServerEngine::session(std::shared_ptr<ServerSession>& out) {
    out = session_.lock();
    if (out && out->usable()) return B_NO_ERROR;
    // A lost session stays with the files that still have it until they close.
    out = std::make_shared<ServerSession>();
    if (const int status = out->connect(server_); status != B_NO_ERROR) return status;
    session_ = out;
    return B_NO_ERROR;
}

int ServerEngine::create(const std::string& path, const FileLayout& layout, bool replace) {
    const std::string name = nameOnServer(path);
    if (name.empty()) return B_INVALID_FILE_NAME;
    PgConnection db;
    if (const int status = db.connect(server_); status != B_NO_ERROR) return status;
    return createServerFile(db, name, layout, replace);
}

std::unique_ptr<Engine> makeServerEngine(const std::string& server) { return std::make_unique<ServerEngine>(server); }

}  // namespace wbtrv
