// Which engine keeps a data file of a given name.
#include "data_file.h"
#include "sqlite_file.h"

namespace wbtrv {

bool identifyByName(const std::string& path, FileIdentity& identity) { return identify(path, identity); }

int openDataFile(const std::string& path, bool exclusive, std::unique_ptr<DataFile>& out) {
    return SqliteFile::open(path, exclusive, out);
}

}  // namespace wbtrv
