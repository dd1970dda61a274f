// Percentages on an SQLite file: counts and offsets along a key's index, or
// along the records' ids, without reading the records themselves.
#include "core/key_sql.h"
#include "sqlite/schema.h"
#include "sqlite/sqlite_file.h"
#include "sqlite/sqlite_keys.h"

#include <wbtrv32/btrieve.h>

#include <limits>

namespace wbtrv {

Statement& SqliteFile::rankStatement(std::vector<Statement>& statements, std::size_t key, bool atRank) {
    Statement& st = statements[key == kPhysicalOrder ? statements.size() - 1 : key];
    if (!st.prepared()) st.prepare(db_.get(), atRank ? atRankSql(key, "data_t", '?') : rankSql(key, "data_t", '?'));
    return st;
}

int SqliteFile::rankAlong(std::size_t key, const KeyValue& value, std::int64_t id, Rank& out) {
    Statement& st = rankStatement(rank_, key, false);
    StatementUse use(st);
    if (broken_ || !st.prepared()) return B_IO_ERROR;
    if (key == kPhysicalOrder)
        st.bindInteger(1, id);
    else
        bindKey(st, 1, key, value);
    const int rc = st.step();
    if (rc != SQLITE_ROW) return statusFromSqlite(rc) == B_NO_ERROR ? B_IO_ERROR : statusFromSqlite(rc);
    out = {static_cast<std::uint64_t>(st.integerAt(0)), static_cast<std::uint64_t>(st.integerAt(1)),
           st.integerAt(2) != 0};
    return B_NO_ERROR;
}

int SqliteFile::readAtRank(std::size_t key, std::uint64_t rank, Record& out, KeyValue& stored) {
    if (rank > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return B_END_OF_FILE;
    Statement& st = rankStatement(atRank_, key, true);
    StatementUse use(st);
    if (st.prepared()) st.bindInteger(1, static_cast<std::int64_t>(rank));
    const int status = readRow(st, out);
    if (status == B_NO_ERROR && key != kPhysicalOrder && !readKeyColumn(st, 2, layout_.keys[key], stored))
        return B_IO_ERROR;
    return status;
}

}  // namespace wbtrv
