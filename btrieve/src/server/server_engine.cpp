#include "server/server_engine.h"

#include "server/server_file.h"
#include "server/server_schema.h"

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
    auto db = std::make_shared<PgConnection>();
    if (const int status = db->connect(server_); status != B_NO_ERROR) return status;
    return ServerFile::open(*this, std::move(db), name, exclusive, out);
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
