#include "server/server_schema.h"

#include "core/key_sql.h"
#include "core/layout_rows.h"
#include "server/server_journal.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>
#include <map>

namespace wbtrv {
namespace {

const char* const kCatalog =
    "CREATE TABLE IF NOT EXISTS wbtrv_files(id bigserial PRIMARY KEY, name text NOT NULL UNIQUE,"
    " record_length integer NOT NULL, page_length integer NOT NULL, variable_length_records integer NOT NULL,"
    " version integer NOT NULL);"
    "CREATE TABLE IF NOT EXISTS wbtrv_keys(file_id bigint NOT NULL REFERENCES wbtrv_files(id) ON DELETE CASCADE,"
    " number integer NOT NULL, segment integer NOT NULL, attributes integer NOT NULL, data_type integer NOT NULL,"
    " \"offset\" integer NOT NULL, length integer NOT NULL, null_value integer NOT NULL, acs_name text, acs bytea,"
    " PRIMARY KEY(file_id, number, segment))";

StoredInteger integerOrEmpty(const PgResult& r, int row, int column) {
    return r.isNull(row, column) ? std::nullopt : StoredInteger(r.integerAt(row, column));
}

std::string columnType(const KeyDefinition& key) {
    return std::string(key.integerColumn() ? "bigint" : "bytea") + (key.nullable() ? "" : " NOT NULL");
}

int describe(PgConnection& db, std::int64_t id, const FileLayout& layout) {
    PgResult none;
    for (std::size_t n = 0; n < layout.keys.size(); ++n) {
        for (std::size_t s = 0; s < layout.keys[n].segments.size(); ++s) {
            const KeySegment& seg = layout.keys[n].segments[s];
            PgParams p;
            p.integer(id).integer4(static_cast<std::int32_t>(n)).integer4(static_cast<std::int32_t>(s));
            p.integer4(seg.attributes).integer4(seg.dataType).integer4(static_cast<std::int32_t>(seg.offset));
            p.integer4(static_cast<std::int32_t>(seg.length)).integer4(seg.nullValue);
            if (seg.collating)
                p.text(seg.collating->name).bytes(seg.collating->table);
            else
                p.null(kTextOid).null(kByteaOid);
            const int status = db.run(nullptr,
                                      "INSERT INTO wbtrv_keys(file_id, number, segment, attributes, data_type,"
                                      " \"offset\", length, null_value, acs_name, acs)"
                                      " VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)",
                                      p, none);
            if (status != B_NO_ERROR) return status;
        }
    }
    std::string table = "CREATE TABLE " + recordTable(id) + "(id bigint PRIMARY KEY, data bytea NOT NULL";
    std::string indexes;
    for (std::size_t n = 0; n < layout.keys.size(); ++n) {
        const KeyDefinition& key = layout.keys[n];
        table += ", " + keyColumn(n) + " " + columnType(key);
        indexes += std::string(";CREATE ") + (key.allowsDuplicates() ? "" : "UNIQUE ") + "INDEX ON " + recordTable(id) +
                   "(" + keyColumn(n) + ")";
    }
    if (const int status = db.run(table + ")" + indexes); status != B_NO_ERROR) return status;
    return makeServerJournal(db, id);
}

int replaced(PgConnection& db, std::int64_t id, bool replace) {
    if (!replace) return B_FILE_ALREADY_EXISTS;
    PgResult r;
    int status = db.run(nullptr, "SELECT to_regclass($1)::oid::bigint", PgParams().text(recordTable(id)), r);
    if (status != B_NO_ERROR) return status;
    if (r.rows() == 1 && !r.isNull(0, 0)) {
        // Held until the new file is in place: no other process may have the old one open.
        const auto table = static_cast<Oid>(r.integerAt(0, 0));
        status = db.run(nullptr, "SELECT pg_try_advisory_xact_lock($1, $2)",
                        PgParams().integer4(lockClass(table)).integer4(kOpenLockSlot), r);
        if (status != B_NO_ERROR) return status;
        if (r.integerAt(0, 0) == 0) return B_FILE_IN_USE;
    }
    if ((status = db.run("DROP TABLE IF EXISTS " + recordTable(id) + ";" + dropServerJournalSql(id))) != B_NO_ERROR)
        return status;
    PgParams byId;
    byId.integer(id);
    return db.run(nullptr, "DELETE FROM wbtrv_files WHERE id = $1", byId, r);
}

int createInTransaction(PgConnection& db, const std::string& name, const FileLayout& layout, bool replace) {
    PgResult r;
    // Taken while a Create changes the catalog, so two processes creating the
    // catalog at once do not trip over each other: class 0 is no file's.
    int status = db.run("SELECT pg_advisory_xact_lock(0, 0)");
    if (status == B_NO_ERROR) status = db.run(kCatalog);
    if (status == B_NO_ERROR)
        status = db.run(nullptr, "SELECT id FROM wbtrv_files WHERE name = $1", PgParams().text(name), r);
    if (status == B_NO_ERROR && r.rows() == 1) status = replaced(db, r.integerAt(0, 0), replace);
    if (status != B_NO_ERROR) return status;
    PgParams file;
    file.text(name).integer4(static_cast<std::int32_t>(layout.recordLength));
    file.integer4(static_cast<std::int32_t>(layout.pageSize)).integer4(kFormatVersion);
    status = db.run(nullptr,
                    "INSERT INTO wbtrv_files(name, record_length, page_length, variable_length_records, version)"
                    " VALUES($1, $2, $3, 0, $4) RETURNING id",
                    file, r);
    if (status != B_NO_ERROR) return status;
    return describe(db, r.integerAt(0, 0), layout);
}

}  // namespace

std::string nameOnServer(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return name;
}

std::string recordTable(std::int64_t id) { return "wbtrv_data_" + std::to_string(id); }

std::int32_t lockClass(Oid table) { return static_cast<std::int32_t>(table); }

std::int64_t recordLockKey(Oid table, std::int64_t id) {
    return static_cast<std::int64_t>(std::uint64_t{table} << 32 | (static_cast<std::uint64_t>(id) & 0xffffffffu));
}

bool keyFromColumn(const PgResult& r, int row, int column, const KeyDefinition& key, KeyValue& out) {
    out = KeyValue{};
    if (r.isNull(row, column)) return true;
    out.null = false;
    if (key.integerColumn()) {
        out.integer = r.integerAt(row, column);
        return r.typeAt(column) == kInt8Oid;
    }
    const auto bytes = r.bytesAt(row, column);
    out.encoded.assign(bytes.begin(), bytes.end());
    return r.typeAt(column) == kByteaOid;
}

int findServerFile(PgConnection& db, const std::string& name, std::int64_t& id) {
    PgResult r;
    const int status = db.run("find", "SELECT id FROM wbtrv_files WHERE name = $1", PgParams().text(name), r);
    if (status == B_SERVER_LOST) return status;
    // No catalog yet: no file has been made on this server.
    if (status != B_NO_ERROR) return db.lastState() == "42P01" ? B_FILE_NOT_FOUND : B_NOT_A_DATA_FILE;
    if (r.rows() == 0) return B_FILE_NOT_FOUND;
    if (r.typeAt(0) != kInt8Oid) return B_NOT_A_DATA_FILE;
    id = r.integerAt(0, 0);
    return B_NO_ERROR;
}

int readServerLayout(PgConnection& db, std::int64_t id, FileLayout& layout, Oid& table, bool& writable,
                     bool& journalDamaged, std::string& why) {
    layout = FileLayout{};
    PgResult r;
    int status = db.run(nullptr,
                        "SELECT record_length::bigint, page_length::bigint, variable_length_records::bigint,"
                        " version::bigint FROM wbtrv_files WHERE id = $1",
                        PgParams().integer(id), r);
    if (status != B_NO_ERROR) return status == B_SERVER_LOST ? status : B_NOT_A_DATA_FILE;
    if (r.rows() != 1) return B_FILE_NOT_FOUND;
    const MetadataRow meta{integerOrEmpty(r, 0, 0), integerOrEmpty(r, 0, 1), integerOrEmpty(r, 0, 2),
                           integerOrEmpty(r, 0, 3)};
    if ((status = layoutFromMetadata(meta, layout, why)) != B_NO_ERROR) return status;

    status = db.run(nullptr,
                    "SELECT number::bigint, segment::bigint, attributes::bigint, data_type::bigint,"
                    " \"offset\"::bigint, length::bigint, null_value::bigint, acs_name, acs"
                    " FROM wbtrv_keys WHERE file_id = $1 ORDER BY number, segment",
                    PgParams().integer(id), r);
    if (status != B_NO_ERROR) return status == B_SERVER_LOST ? status : B_NOT_A_DATA_FILE;
    std::vector<KeyRow> rows;
    for (int i = 0; i < r.rows(); ++i) {
        KeyRow& row = rows.emplace_back();
        row = {integerOrEmpty(r, i, 0), integerOrEmpty(r, i, 1), integerOrEmpty(r, i, 2),
               integerOrEmpty(r, i, 3), integerOrEmpty(r, i, 4), integerOrEmpty(r, i, 5),
               integerOrEmpty(r, i, 6), r.textAt(i, 7),          {}};
        const auto acs = r.bytesAt(i, 8);
        row.collatingTable.assign(acs.begin(), acs.end());
    }
    if ((status = keysFromRows(rows, layout, why)) != B_NO_ERROR) return status;

    // The record table must have exactly our columns: id, data and one per key.
    status = db.run(nullptr,
                    "SELECT t::oid::bigint, has_table_privilege(t, 'INSERT') AND has_table_privilege(t, 'UPDATE')"
                    " AND has_table_privilege(t, 'DELETE'), a.attname::text,"
                    " format_type(a.atttypid, a.atttypmod),"
                    " EXISTS (SELECT FROM pg_trigger WHERE tgrelid = t AND tgname = 'wbtrv_journal')"
                    " FROM to_regclass($1) t"
                    " JOIN pg_attribute a ON a.attrelid = t WHERE a.attnum > 0 AND NOT a.attisdropped",
                    PgParams().text(recordTable(id)), r);
    if (status != B_NO_ERROR) return status == B_SERVER_LOST ? status : B_NOT_A_DATA_FILE;
    std::map<std::string, std::string> columns;
    for (int i = 0; i < r.rows(); ++i) columns[r.textAt(i, 2)] = r.textAt(i, 3);
    std::map<std::string, std::string> expected{{"id", "bigint"}, {"data", "bytea"}};
    for (std::size_t n = 0; n < layout.keys.size(); ++n)
        expected[keyColumn(n)] = layout.keys[n].integerColumn() ? "bigint" : "bytea";
    if (columns != expected) {
        why = recordTable(id) + " does not have the columns id, data and one per key";
        return B_NOT_A_DATA_FILE;
    }
    for (KeyDefinition& key : layout.keys) key.encodedColumn = !key.integerColumn();
    table = static_cast<Oid>(r.integerAt(0, 0));
    writable = r.integerAt(0, 1) != 0;
    // A file with a journal whose trigger is gone could not journal its changes.
    journalDamaged = layout.journalKept && r.integerAt(0, 4) == 0;
    return B_NO_ERROR;
}

int createServerFile(PgConnection& db, const std::string& name, const FileLayout& layout, bool replace) {
    int status = db.run("BEGIN");
    if (status == B_NO_ERROR) status = createInTransaction(db, name, layout, replace);
    if (status == B_NO_ERROR) status = db.run("COMMIT");
    if (status != B_NO_ERROR && !db.lost()) db.run("ROLLBACK");
    if (status == B_SERVER_LOST || status == B_FILE_IN_USE || status == B_FILE_ALREADY_EXISTS) return status;
    return status == B_NO_ERROR ? B_NO_ERROR : B_CREATE_IO_ERROR;
}

}  // namespace wbtrv
