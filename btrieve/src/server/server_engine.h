// The engine that keeps data files on one PostgreSQL server, named by its
// connection string: a catalog of files and a table of records per file.
#pragma once

#include "core/engine.h"

#include <memory>

namespace wbtrv {

class ServerSession;

class ServerEngine final : public Engine {
public:
    explicit ServerEngine(std::string server) : server_(std::move(server)) {}

    // Its identity of a file: the file's name on this server.
    bool identify(const std::string& path, FileIdentity& identity) const override;
    // Every file the process opens here shares one session.
    int open(const std::string& path, bool exclusive, std::unique_ptr<StoredFile>& out) override;
    // Made in one transaction of the server's: nothing half-made is ever seen.
    // Create and verify connect for the call: neither is part of the process's
    // transaction, and a file this process has open must keep a Create that
    // would replace it out (85), as it keeps out every other process's.
    int create(const std::string& path, const FileLayout& layout, bool replace) override;
    int verify(const std::string& path, std::string& why) override;

private:
    // The session the files open here share, connected when none is usable.
    int session(std::shared_ptr<ServerSession>& out);

    std::string server_;  // the connection string
    std::weak_ptr<ServerSession> session_;
};

std::unique_ptr<Engine> makeServerEngine(const std::string& server);

}  // namespace wbtrv
