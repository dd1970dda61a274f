#include "sqlite/sqlite_engine.h"

#include "sqlite/open_lock.h"
#include "sqlite/sqlite_file.h"

namespace wbtrv {

FileIdentity identityOf(const Engine& engine, const DiskIdentity& disk) {
    return {&engine, std::to_string(disk.device) + ":" + std::to_string(disk.inode)};
}

bool SqliteEngine::identify(const std::string& path, FileIdentity& identity) const {
    DiskIdentity disk;
    if (!wbtrv::identify(path, disk)) return false;
    identity = identityOf(*this, disk);
    return true;
}

int SqliteEngine::open(const std::string& path, bool exclusive, std::unique_ptr<StoredFile>& out) {
    return SqliteFile::open(*this, path, exclusive, out);
}

std::unique_ptr<Engine> makeSqliteEngine() { return std::make_unique<SqliteEngine>(); }

}  // namespace wbtrv
