// The batched read of an SQLite file: one statement stepped along the key's
// index (or the rows in id order), so one read transaction for the whole
// batch, the filter evaluated on each record's bytes.
#include "sqlite/sqlite_file.h"

#include "core/key_sql.h"
#include "sqlite/schema.h"
#include "sqlite/sqlite_keys.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

Statement& SqliteFile::batchWalk(const BatchRequest& request) {
    const std::ptrdiff_t key = request.key ? static_cast<std::ptrdiff_t>(*request.key) : -1;
    Statement& st = batchWalks_[{key, request.forward, request.start}];
    if (!st.prepared())
        st.prepare(db_.get(), batchWalkSql(request.key, request.forward, request.start, "data_t", '?', false));
    return st;
}

int SqliteFile::readBatch(const BatchRequest& request, BatchAnswer& answer) {
    BatchCollector collect(layout_, request, answer);
    if (broken_) return B_IO_ERROR;
    Statement& st = batchWalk(request);
    if (!st.prepared()) return B_IO_ERROR;
    StatementUse use(st);
    if (request.key) bindKey(st, 1, *request.key, request.value);
    use->bindInteger(2, request.id);
    for (;;) {
        const int rc = st.step();
        if (rc == SQLITE_DONE) return collect.status();
        if (rc != SQLITE_ROW) return statusFromSqlite(rc) == B_NO_ERROR ? B_IO_ERROR : statusFromSqlite(rc);
        if (st.typeAt(1) != SQLITE_BLOB) return B_IO_ERROR;
        const KeyValue* stored = nullptr;
        if (request.key) {
            if (!readKeyColumn(st, 2, layout_.keys[*request.key], batchKey_)) return B_IO_ERROR;
            stored = &batchKey_;
        }
        if (!collect.examine(st.integerAt(0), st.blobAt(1), stored)) return collect.status();
    }
}

}  // namespace wbtrv
