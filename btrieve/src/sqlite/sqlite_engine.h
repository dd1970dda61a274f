// The engine that keeps each data file as an SQLite database in a folder.
#pragma once

#include "core/engine.h"

namespace wbtrv {

class SqliteEngine final : public Engine {
public:
    // Its identity of a file: the device and inode of the file at that path.
    bool identify(const std::string& path, FileIdentity& identity) const override;
    int open(const std::string& path, bool exclusive, std::unique_ptr<StoredFile>& out) override;
    // Builds the new file under a temporary name and renames it into place,
    // so a failure leaves no half-made file.
    int create(const std::string& path, const FileLayout& layout, bool replace) override;
    int verify(const std::string& path, std::string& why) override;
};

std::unique_ptr<Engine> makeSqliteEngine();

}  // namespace wbtrv
