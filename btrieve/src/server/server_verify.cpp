// BTRVERIFY on a server: the file's description, and every record against
// its key columns, read as any open reads them.
#include "core/key_sql.h"
#include "core/record_check.h"
#include "server/server_engine.h"
#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

int ServerEngine::verify(const std::string& path, std::string& why) {
    PgConnection db;
    if (const int status = db.connect(server_); status != B_NO_ERROR) {
        why = "the server cannot be reached";
        return status;
    }
    std::int64_t id = 0;
    if (const int status = findServerFile(db, nameOnServer(path), id); status != B_NO_ERROR) {
        why = status == B_FILE_NOT_FOUND ? "no such file" : "the server's tables are not ours";
        return status;
    }
    FileLayout layout;
    Oid table = 0;
    bool writable = false, journalDamaged = false;
    if (const int status = readServerLayout(db, id, layout, table, writable, journalDamaged, why); status != B_NO_ERROR)
        return status;
    // Held like any open: a file open exclusively elsewhere is not read.
    PgResult r;
    if (const int status = db.run(nullptr, "SELECT pg_try_advisory_lock_shared($1, $2)::int",
                                  PgParams().integer4(lockClass(table)).integer4(kOpenLockSlot), r);
        status != B_NO_ERROR || r.integerAt(0, 0) == 0) {
        why = "the file is open exclusively elsewhere";
        return status == B_NO_ERROR ? B_FILE_IN_USE : status;
    }
    std::string sql = "SELECT id, data";
    for (std::size_t k = 0; k < layout.keys.size(); ++k) sql += ", " + keyColumn(k);
    if (const int status = db.run(nullptr, sql + " FROM " + recordTable(id) + " ORDER BY id", {}, r);
        status != B_NO_ERROR) {
        why = recordTable(id) + " cannot be read";
        return status;
    }
    for (int row = 0; row < r.rows(); ++row) {
        const KeyColumnReader column = [&](std::size_t k, KeyValue& held) {
            return keyFromColumn(r, row, static_cast<int>(k) + 2, layout.keys[k], held);
        };
        if (const int status = checkStoredRecord(layout, r.integerAt(row, 0), r.bytesAt(row, 1),
                                                 !r.isNull(row, 1) && r.typeAt(1) == kByteaOid, column, why);
            status != B_NO_ERROR)
            return status;
    }
    return B_NO_ERROR;
}

}  // namespace wbtrv
