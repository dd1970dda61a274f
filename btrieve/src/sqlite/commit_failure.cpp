#include "sqlite/commit_failure.h"

namespace wbtrv {

bool commitMayLinger(int extendedCode) {
    return extendedCode == SQLITE_IOERR_FSYNC || extendedCode == SQLITE_IOERR_DIR_FSYNC;
}

bool discardRefusedCommit(Database& db) {
    if (!sqlite3_get_autocommit(db.get())) db.exec("ROLLBACK");
    // Changed and changed back: a write of the same value would write no page.
    const int rc = db.exec(
        "BEGIN IMMEDIATE; UPDATE metadata_t SET version = version + 1;"
        " UPDATE metadata_t SET version = version - 1; COMMIT");
    if (rc != SQLITE_OK && !sqlite3_get_autocommit(db.get())) db.exec("ROLLBACK");
    return rc == SQLITE_OK;
}

}  // namespace wbtrv
