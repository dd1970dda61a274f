#include "server/server_schema.h"

#include "core/key_sql.h"
#include "core/layout_rows.h"
#include "server/server_journal.h"
#include "server/server_text.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {
namespace {

const char* const kCatalog =
    "CREATE TABLE IF NOT EXISTS wbtrv_files(id bigserial PRIMARY KEY, name text NOT NULL UNIQUE,"
    " record_length integer NOT NULL, page_length integer NOT NULL, variable_length_records integer NOT NULL,"
    " version integer NOT NULL);"
    "CREATE TABLE IF NOT EXISTS wbtrv_keys(file_id bigint NOT NULL REFERENCES wbtrv_files(id) ON DELETE CASCADE,"
    " number integer NOT NULL, segment integer NOT NULL, attributes integer NOT NULL, data_type integer NOT NULL,"
    " \"offset\" integer NOT NULL, length integer NOT NULL, null_value integer NOT NULL, acs_name text, acs bytea,"
    " PRIMARY KEY(file_id, number, segment));"
    "CREATE TABLE IF NOT EXISTS wbtrv_owners(file_id bigint PRIMARY KEY REFERENCES wbtrv_files(id) ON DELETE CASCADE,"
    " restriction integer NOT NULL, salt bytea NOT NULL, hash bytea NOT NULL)";

// The owners' rows as a role may see them: a file's row only to a role
// that may read or change its records (and so may open it at all), so the
// salted hashes are not handed to every role that may read the catalog.
// Made once, by the catalog's maker; its record tables are named with the
// schema (a literal here) so no search path can slip another table in.
std::string ownersViewSql(const std::string& schema) {
    std::string literal = "'";
    for (char c : schema) literal += c == '\'' ? std::string("''") : std::string(1, c);
    literal += "'";
    return "CREATE VIEW wbtrv_owners_readable AS SELECT file_id, restriction, salt, hash FROM wbtrv_owners"
           " WHERE has_table_privilege(to_regclass(quote_ident(" +
           literal +
           ") || '.wbtrv_data_' || file_id), 'SELECT,INSERT,UPDATE,DELETE');"
           "GRANT SELECT ON wbtrv_owners_readable TO PUBLIC";
}

}  // namespace

std::string keyColumnType(const KeyDefinition& key) {
    return std::string(key.integerColumn() ? "bigint" : "bytea") + (key.nullable() ? "" : " NOT NULL");
}

std::string keyIndexSql(std::int64_t id, std::size_t number, const KeyDefinition& key) {
    return std::string("CREATE ") + (key.allowsDuplicates() ? "" : "UNIQUE ") + "INDEX ON " + recordTable(id) + "(" +
           keyColumn(number) + ")";
}

int describeKeys(PgConnection& db, std::int64_t id, const FileLayout& layout) {
    PgResult none;
    for (std::size_t n = 0; n < layout.keys.size(); ++n) {
        for (std::size_t s = 0; s < layout.keys[n].segments.size(); ++s) {
            const KeySegment& seg = layout.keys[n].segments[s];
            PgParams p;
            p.integer(id).integer4(static_cast<std::int32_t>(n)).integer4(static_cast<std::int32_t>(s));
            p.integer4(seg.attributes).integer4(seg.dataType).integer4(static_cast<std::int32_t>(seg.offset));
            p.integer4(static_cast<std::int32_t>(seg.length)).integer4(seg.nullValue);
            if (seg.collating)
                p.text(textOnServer(seg.collating->name)).bytes(seg.collating->table);
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
    return B_NO_ERROR;
}

namespace {

int describe(PgConnection& db, std::int64_t id, const FileLayout& layout) {
    if (const int status = describeKeys(db, id, layout); status != B_NO_ERROR) return status;
    std::string table = "CREATE TABLE " + recordTable(id) + "(id bigint PRIMARY KEY, data bytea NOT NULL";
    std::string indexes;
    for (std::size_t n = 0; n < layout.keys.size(); ++n) {
        const KeyDefinition& key = layout.keys[n];
        table += ", " + keyColumn(n) + " " + keyColumnType(key);
        indexes += ";" + keyIndexSql(id, n, key);
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
    int status = ensureCatalog(db);
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

// Taken while the catalog is made, so two processes making it at once do
// not trip over each other: class 0 is no file's.
int ensureCatalog(PgConnection& db) {
    int status = db.run("SELECT pg_advisory_xact_lock(0, 0)");
    if (status == B_NO_ERROR) status = db.run(kCatalog);
    PgResult r;
    if (status == B_NO_ERROR)
        status = db.run(nullptr, "SELECT current_schema(), (to_regclass('wbtrv_owners_readable') IS NULL)::int", {}, r);
    if (status != B_NO_ERROR || r.rows() != 1 || r.isNull(0, 0) || r.integerAt(0, 1) == 0) return status;
    return db.run(ownersViewSql(r.textAt(0, 0)));
}

std::string nameOnServer(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return textOnServer(slash == std::string::npos ? path : path.substr(slash + 1));
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

int createServerFile(PgConnection& db, const std::string& name, const FileLayout& layout, bool replace) {
    int status = db.run("BEGIN");
    if (status == B_NO_ERROR) status = createInTransaction(db, name, layout, replace);
    if (status == B_NO_ERROR) status = db.run("COMMIT");
    if (status != B_NO_ERROR && !db.lost()) db.run("ROLLBACK");
    if (status == B_SERVER_LOST || status == B_FILE_IN_USE || status == B_FILE_ALREADY_EXISTS ||
        status == B_ACCESS_DENIED)
        return status;
    return status == B_NO_ERROR ? B_NO_ERROR : B_CREATE_IO_ERROR;
}

}  // namespace wbtrv
