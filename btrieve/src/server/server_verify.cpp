// BTRVERIFY on a server: the file's description, and every record against
// its key columns, read as any open reads them.
#include "core/key_sql.h"
#include "core/record_check.h"
#include "server/server_engine.h"
#include "server/server_find.h"
#include "server/server_message.h"
#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

int ServerEngine::verify(const std::string& path, std::string& why) {
    PgConnection db;
    if (const int status = db.connect(server_); status != B_NO_ERROR) {
        why = "the server cannot be used: " + serverMessage();
        return status;
    }
    // Held like any open: a file open exclusively elsewhere is not read.
    FoundFile found;
    if (const int status = findServerFile(db, nameOnServer(path), OpenLock::Shared, false, found, why);
        status != B_NO_ERROR)
        return status;
    const FileLayout& layout = found.layout;
    const std::int64_t id = found.number;
    PgResult r;
    std::vector<int> columnOf;
    const std::string sql = "SELECT " + keyColumnList(layout, columnOf) + " FROM " + recordTable(id) + " ORDER BY id";
    if (const int status = db.run(nullptr, sql, {}, r); status != B_NO_ERROR) {
        why = recordTable(id) + " cannot be read";
        return status;
    }
    for (int row = 0; row < r.rows(); ++row) {
        const KeyColumnReader column = [&](std::size_t k, KeyValue& held) {
            return keyFromColumn(r, row, columnOf[k], layout.keys[k], held);
        };
        if (const int status = checkStoredRecord(layout, r.integerAt(row, 0), r.bytesAt(row, 1),
                                                 !r.isNull(row, 1) && r.typeAt(1) == kByteaOid, column, why);
            status != B_NO_ERROR)
            return status;
    }
    return B_NO_ERROR;
}

}  // namespace wbtrv
