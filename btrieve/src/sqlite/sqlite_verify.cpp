// BTRVERIFY on the SQLite engine: SQLite's integrity check, the file's
// description, and every record against its key columns.
#include "core/key_sql.h"
#include "core/record_check.h"
#include "sqlite/file_access.h"
#include "sqlite/lock_wait.h"
#include "sqlite/schema.h"
#include "sqlite/sqlite_engine.h"
#include "sqlite/sqlite_keys.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {
namespace {

int storageSound(Database& db, std::string& why) {
    Statement st;
    int rc = st.prepare(db.get(), "PRAGMA integrity_check");
    if (rc == SQLITE_OK) rc = st.step();
    if (rc != SQLITE_ROW) {
        why = "the file cannot be checked: " + db.lastError();
        return (rc & 0xff) == SQLITE_NOTADB ? B_NOT_A_DATA_FILE
               : (rc & 0xff) == SQLITE_BUSY ? B_FILE_IN_USE
                                            : B_IO_ERROR;
    }
    const std::string first = st.textAt(0);
    if (first == "ok") return B_NO_ERROR;
    why = "storage damaged: " + first;
    return B_IO_ERROR;
}

// Every record of the record length, every key column equal to its record's bytes.
int recordsSound(Database& db, const FileLayout& layout, std::string& why) {
    std::vector<int> columnOf;
    const std::string sql = "SELECT " + keyColumnList(layout, columnOf) + " FROM data_t ORDER BY id";
    Statement st;
    int rc = st.prepare(db.get(), sql);
    if (rc != SQLITE_OK) {
        why = "data_t cannot be read: " + db.lastError();
        return B_IO_ERROR;
    }
    const KeyColumnReader column = [&](std::size_t k, KeyValue& held) {
        return readKeyColumn(st, columnOf[k], layout.keys[k], held);
    };
    while ((rc = st.step()) == SQLITE_ROW)
        if (const int status =
                checkStoredRecord(layout, st.integerAt(0), st.blobAt(1), st.typeAt(1) == SQLITE_BLOB, column, why);
            status != B_NO_ERROR)
            return status;
    if (rc != SQLITE_DONE) {
        why = "data_t cannot be read: " + db.lastError();
        return B_IO_ERROR;
    }
    return B_NO_ERROR;
}

}  // namespace

int SqliteEngine::verify(const std::string& path, std::string& why) {
    DiskIdentity identity;
    if (isSpecialFile(path)) {
        why = "a FIFO, device or socket, not a data file";
        return B_NOT_A_DATA_FILE;
    }
    if (!wbtrv::identify(path, identity)) {
        why = "no such file";
        return B_FILE_NOT_FOUND;
    }
    // Held like any open, so another process sees whose log this connection uses.
    OpenLock lock;
    if (const int status = lock.acquire(path, false); status != B_NO_ERROR) {
        why = "the file cannot be opened";
        return status;
    }
    FileLayout identified;
    if (const int status = identifyDataFile(path, identified, why); status != B_NO_ERROR) return status;
    if (journalOfAnotherFile(path, lock.identity())) {
        why = "the log files under this name belong to another file that is still open";
        return B_FILE_IN_USE;
    }
    Database db;
    if (const int status = connectReadOnly(db, path); status != B_NO_ERROR) {
        why = "the file cannot be opened";
        return status;
    }
    LockWait wait;
    sqlite3_busy_handler(db.get(), &LockWait::retry, &wait);
    if (const int status = storageSound(db, why); status != B_NO_ERROR) return status;
    FileLayout layout;
    if (const int status = readLayout(db, layout, why); status != B_NO_ERROR) return status;
    return recordsSound(db, layout, why);
}

}  // namespace wbtrv
