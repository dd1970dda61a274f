#include "sqlite/schema.h"

#include "core/key_sql.h"
#include "core/layout_rows.h"
#include "sqlite/sqlite_journal.h"
#include "sqlite/sqlite_keys.h"

#include <wbtrv32/btrieve.h>

#include <wbtrv32/bytes.h>

#include <map>
#include <set>

namespace wbtrv {

int statusFromSqlite(int rc) {
    switch (rc & 0xff) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return B_NO_ERROR;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return B_FILE_IN_USE;
        case SQLITE_CONSTRAINT:
            return B_DUPLICATE_KEY_VALUE;
        case SQLITE_FULL:
            return B_DISK_FULL;
        case SQLITE_IOERR:
            // Growing the shared-memory file fails only when the disk is full.
            return rc == SQLITE_IOERR_SHMSIZE ? B_DISK_FULL : B_IO_ERROR;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
        case SQLITE_CANTOPEN:
            return B_ACCESS_DENIED;
        case SQLITE_NOTADB:
            return B_NOT_A_DATA_FILE;
        default:
            return B_IO_ERROR;
    }
}

namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// The acs_name and acs values of a segment: NULL without a collating sequence.
std::string collatingValues(const KeySegment& seg) {
    if (!seg.collating) return "NULL,NULL";
    return quoted(seg.collating->name) + ",x'" + hex(seg.collating->table) + "'";
}

}  // namespace

int createSchema(Database& db, const FileLayout& layout) {
    std::string sql =
        "CREATE TABLE metadata_t(record_length INTEGER NOT NULL, physical_record_length INTEGER NOT NULL,"
        " page_length INTEGER NOT NULL, variable_length_records INTEGER NOT NULL, version INTEGER NOT NULL);"
        "CREATE TABLE keys_t(id INTEGER PRIMARY KEY, number INTEGER NOT NULL, segment INTEGER NOT NULL,"
        " attributes INTEGER NOT NULL, data_type INTEGER NOT NULL, offset INTEGER NOT NULL,"
        " length INTEGER NOT NULL, null_value INTEGER NOT NULL, acs_name STRING, acs BLOB,"
        " UNIQUE(number, segment));";
    sql += "INSERT INTO metadata_t VALUES(" + std::to_string(layout.recordLength) + "," +
           std::to_string(layout.recordLength) + "," + std::to_string(layout.pageSize) + ",0," +
           std::to_string(kFormatVersion) + ");";
    std::string table = "CREATE TABLE data_t(id INTEGER PRIMARY KEY, data BLOB NOT NULL";
    std::string indexes;
    for (std::size_t n = 0; n < layout.keys.size(); ++n) {
        const KeyDefinition& key = layout.keys[n];
        table += ", " + keyColumn(n) + " " + keyColumnDeclaration(key);
        indexes += keyIndexStatement(n, key);
        for (std::size_t s = 0; s < key.segments.size(); ++s) {
            const KeySegment& seg = key.segments[s];
            sql +=
                "INSERT INTO keys_t(number, segment, attributes, data_type, offset, length, null_value, acs_name, acs)"
                " VALUES(" +
                std::to_string(n) + "," + std::to_string(s) + "," + std::to_string(seg.attributes) + "," +
                std::to_string(seg.dataType) + "," + std::to_string(seg.offset) + "," + std::to_string(seg.length) +
                "," + std::to_string(seg.nullValue) + "," + collatingValues(seg) + ");";
        }
    }
    sql += table + ");" + indexes + journalTablesSql();
    return db.exec("BEGIN;" + sql + "COMMIT;");
}

namespace {

// A file SQLite cannot read as a database, a damaged one or one without our
// tables is not one of ours; lock waits, permissions, a full disk and I/O
// failures keep their own statuses.
int failure(int rc, std::string& why, const std::string& what) {
    why = what;
    switch (rc & 0xff) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
        case SQLITE_ERROR:
        case SQLITE_MISMATCH:
        case SQLITE_SCHEMA:
        case SQLITE_FORMAT:
            return B_NOT_A_DATA_FILE;
        default: {
            const int status = statusFromSqlite(rc);
            return status == B_NO_ERROR ? B_NOT_A_DATA_FILE : status;
        }
    }
}

StoredInteger integerAt(const Statement& st, int column) {
    return st.typeAt(column) == SQLITE_INTEGER ? StoredInteger(st.integerAt(column)) : std::nullopt;
}

int readMetadata(Database& db, FileLayout& layout, std::string& why) {
    Statement st;
    int rc =
        st.prepare(db.get(), "SELECT record_length, page_length, variable_length_records, version FROM metadata_t");
    if (rc != SQLITE_OK) return failure(rc, why, "no metadata_t table: " + db.lastError());
    if ((rc = st.step()) != SQLITE_ROW)
        return failure(rc == SQLITE_DONE ? SQLITE_NOTADB : rc, why, "metadata_t has no row");
    const MetadataRow row{integerAt(st, 0), integerAt(st, 1), integerAt(st, 2), integerAt(st, 3)};
    if (const int status = layoutFromMetadata(row, layout, why); status != B_NO_ERROR) return status;
    if (st.step() != SQLITE_DONE) return failure(SQLITE_NOTADB, why, "metadata_t has more than one row");
    return B_NO_ERROR;
}

int readKeys(Database& db, FileLayout& layout, std::string& why) {
    Statement st;
    int rc = st.prepare(db.get(),
                        "SELECT number, segment, attributes, data_type, offset, length, null_value,"
                        " acs_name, acs FROM keys_t ORDER BY number, segment");
    if (rc != SQLITE_OK) return failure(rc, why, "no keys_t table: " + db.lastError());
    std::vector<KeyRow> rows;
    while ((rc = st.step()) == SQLITE_ROW) {
        KeyRow& row = rows.emplace_back();
        row = {integerAt(st, 0), integerAt(st, 1), integerAt(st, 2),
               integerAt(st, 3), integerAt(st, 4), integerAt(st, 5),
               integerAt(st, 6), st.textAt(7),     {}};
        const auto table = st.blobAt(8);
        row.collatingTable.assign(table.begin(), table.end());
    }
    if (rc != SQLITE_DONE) return failure(rc, why, "keys_t cannot be read: " + db.lastError());
    return keysFromRows(rows, layout, why);
}

int checkDataTable(Database& db, FileLayout& layout, std::string& why) {
    Statement st;
    int rc = st.prepare(db.get(), "SELECT name, type FROM pragma_table_info('data_t')");
    if (rc != SQLITE_OK) return failure(rc, why, "data_t cannot be read: " + db.lastError());
    std::map<std::string, std::string> columns;  // name -> declared type
    while ((rc = st.step()) == SQLITE_ROW) columns[st.textAt(0)] = st.textAt(1);
    if (rc != SQLITE_DONE) return failure(rc, why, "data_t cannot be read: " + db.lastError());
    std::set<std::string> expected{"id", "data"}, found;
    for (std::size_t n = 0; n < layout.keys.size(); ++n) expected.insert(keyColumn(n));
    for (const auto& [name, type] : columns) found.insert(name);
    if (found != expected)
        return failure(SQLITE_NOTADB, why, "data_t does not have the columns id, data and one per key");
    // Only a column declared with our encoded type holds values we can order and write.
    for (std::size_t n = 0; n < layout.keys.size(); ++n)
        layout.keys[n].encodedColumn = columns[keyColumn(n)] == kEncodedKeyType;
    return B_NO_ERROR;
}

}  // namespace

int readLayout(Database& db, FileLayout& layout, std::string& why) {
    layout = FileLayout{};
    int status = readMetadata(db, layout, why);
    if (status == B_NO_ERROR) status = readKeys(db, layout, why);
    if (status == B_NO_ERROR) status = checkDataTable(db, layout, why);
    return status;
}

}  // namespace wbtrv
