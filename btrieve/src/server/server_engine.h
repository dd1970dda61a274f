// The engine that keeps data files on one PostgreSQL server, named by its
// connection string: a catalog of files and a table of records per file.
#pragma once

#include "core/engine.h"

namespace wbtrv {

class ServerEngine final : public Engine {
public:
    explicit ServerEngine(std::string server) : server_(std::move(server)) {}

    // Its identity of a file: the file's name on this server.
    bool identify(const std::string& path, FileIdentity& identity) const override;
    int open(const std::string& path, bool exclusive, std::unique_ptr<StoredFile>& out) override;
    // Made in one transaction of the server's: nothing half-made is ever seen.
    int create(const std::string& path, const FileLayout& layout, bool replace) override;
    int verify(const std::string& path, std::string& why) override;

private:
    std::string server_;  // the connection string
};

std::unique_ptr<Engine> makeServerEngine(const std::string& server);

}  // namespace wbtrv
