#include "schema.h"

#include "key_sql.h"
#include "layout_checks.h"

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
    sql += table + ");" + indexes;
    return db.exec("BEGIN;" + sql + "COMMIT;");
}

namespace {

// Keys a file may have, as Create allows them.
constexpr std::int64_t kMaxKeys = 119;

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

int readMetadata(Database& db, FileLayout& layout, std::string& why) {
    Statement st;
    int rc =
        st.prepare(db.get(), "SELECT record_length, page_length, variable_length_records, version FROM metadata_t");
    if (rc != SQLITE_OK) return failure(rc, why, "no metadata_t table: " + db.lastError());
    if ((rc = st.step()) != SQLITE_ROW)
        return failure(rc == SQLITE_DONE ? SQLITE_NOTADB : rc, why, "metadata_t has no row");
    std::int64_t recordLength = 0, pageSize = 0, variable = 0, version = 0;
    if (!integerInRange(st, 3, kFormatVersion, kFormatVersion, version))
        return failure(SQLITE_NOTADB, why, "format version " + st.textAt(3) + " is not ours");
    if (!integerInRange(st, 0, 1, 65535, recordLength))
        return failure(SQLITE_NOTADB, why, "record length " + st.textAt(0) + " out of range");
    if (!integerInRange(st, 1, 0, 65535, pageSize) || !integerInRange(st, 2, 0, 1, variable))
        return failure(SQLITE_NOTADB, why, "metadata_t holds a page size or record kind out of range");
    if (st.step() != SQLITE_DONE) return failure(SQLITE_NOTADB, why, "metadata_t has more than one row");
    layout.recordLength = static_cast<std::uint32_t>(recordLength);
    layout.pageSize = static_cast<std::uint32_t>(pageSize);
    layout.variableLength = variable != 0;
    return B_NO_ERROR;
}

int readKeys(Database& db, FileLayout& layout, std::string& why) {
    Statement st;
    int rc = st.prepare(db.get(),
                        "SELECT number, segment, attributes, data_type, offset, length, null_value,"
                        " acs_name, acs FROM keys_t ORDER BY number, segment");
    if (rc != SQLITE_OK) return failure(rc, why, "no keys_t table: " + db.lastError());
    while ((rc = st.step()) == SQLITE_ROW) {
        std::int64_t number = 0, segment = 0, attributes = 0, type = 0, offset = 0, length = 0, nullValue = 0;
        if (!integerInRange(st, 0, 0, kMaxKeys - 1, number) || !integerInRange(st, 1, 0, kMaxKeys - 1, segment) ||
            !integerInRange(st, 2, 0, 0xffff, attributes) || !integerInRange(st, 3, 0, 0xff, type) ||
            !integerInRange(st, 6, 0, 0xff, nullValue) || st.typeAt(4) != SQLITE_INTEGER ||
            st.typeAt(5) != SQLITE_INTEGER)
            return failure(SQLITE_NOTADB, why, "keys_t holds a value out of range or not an integer");
        offset = st.integerAt(4);
        length = st.integerAt(5);
        const bool newKey = segment == 0 && number == static_cast<std::int64_t>(layout.keys.size());
        const bool nextSegment = !layout.keys.empty() && number == static_cast<std::int64_t>(layout.keys.size()) - 1 &&
                                 segment == static_cast<std::int64_t>(layout.keys.back().segments.size());
        if (!newKey && !nextSegment) return failure(SQLITE_NOTADB, why, "keys_t numbers keys or segments with gaps");
        if (!segmentInside(offset, length, layout.recordLength))
            return failure(SQLITE_NOTADB, why, "key " + std::to_string(number) + " lies outside the record");
        KeySegment seg;
        seg.attributes = static_cast<std::uint16_t>(attributes);
        seg.dataType = static_cast<std::uint8_t>(type);
        seg.offset = static_cast<std::uint32_t>(offset);
        seg.length = static_cast<std::uint32_t>(length);
        seg.nullValue = static_cast<std::uint8_t>(nullValue);
        // The table alone, or the whole sequence as Create received it. A key
        // whose table cannot be read is not ordered by us: it stays read-only.
        const auto table = st.blobAt(8);
        const bool whole = table.size() == BTR_COLLATING_SEQUENCE_SIZE && table[0] == BTR_COLLATING_SEQUENCE_MARK;
        if ((seg.attributes & B_KEY_ALT_COLLATING) && (table.size() == 256 || whole)) {
            auto sequence = std::make_shared<CollatingSequence>();
            sequence->name = st.textAt(7);
            std::copy(table.end() - 256, table.end(), sequence->table.begin());
            seg.collating = std::move(sequence);
        }
        if (newKey) layout.keys.push_back(KeyDefinition{});
        layout.keys.back().segments.push_back(seg);
    }
    if (rc != SQLITE_DONE) return failure(rc, why, "keys_t cannot be read: " + db.lastError());
    if (layout.keys.empty()) return failure(SQLITE_NOTADB, why, "keys_t describes no key");
    return B_NO_ERROR;
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
