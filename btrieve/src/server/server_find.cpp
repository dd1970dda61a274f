#include "server/server_find.h"

#include "core/key_sql.h"
#include "core/layout_rows.h"
#include "server/server_journal.h"
#include "server/server_schema.h"
#include "server/server_text.h"

#include <wbtrv32/btrieve.h>

#include <map>

namespace wbtrv {
namespace {

StoredInteger integerOrEmpty(const PgResult& r, int row, int column) {
    return r.isNull(row, column) ? std::nullopt : StoredInteger(r.integerAt(row, column));
}

// The rows findServerFile's statement answers, told apart by their first column.
enum FoundRow : std::int64_t { kFileRow = 0, kKeyRow = 1, kColumnRow = 2 };

// One statement, so that Open is one round trip: the catalog's row of the
// file (its number, description, record table, this role's rights there,
// the open lock: $2 is 1 for an exclusive one, whether its journal's trigger
// is there, and its owner's row if asked for), then its key rows in key and
// segment order, then the columns of its record table. The lock is taken only
// when the record table exists, keyed by its oid's 32 bits as lockClass does.
std::string findFileSql(bool owner) {
    const std::string slot = std::to_string(kOpenLockSlot);
    return "WITH file AS (SELECT id, record_length::bigint AS record_length, page_length::bigint AS page_length,"
           " variable_length_records::bigint AS variable, version::bigint AS version,"
           " to_regclass('wbtrv_data_' || id) AS records FROM wbtrv_files WHERE name = $1)"
           " SELECT 0, id, record_length, page_length, variable, version, records::oid::bigint,"
           " (has_table_privilege(records, 'INSERT') AND has_table_privilege(records, 'UPDATE')"
           " AND has_table_privilege(records, 'DELETE'))::int::bigint,"
           " CASE WHEN records IS NULL THEN NULL WHEN $2 = 1 THEN"
           " pg_try_advisory_lock(records::oid::bigint::bit(32)::int, " +
           slot + ") ELSE pg_try_advisory_lock_shared(records::oid::bigint::bit(32)::int, " + slot +
           ") END::int::bigint, NULL::text, NULL::text, NULL::bytea,"
           " (" +
           journalTriggerStateSql("records") + " IS NOT NULL)::int::bigint, " +
           (owner ? "o.restriction::bigint, o.salt, o.hash FROM file"
                    " LEFT JOIN wbtrv_owners_readable o ON o.file_id = file.id"
                  : "NULL::bigint, NULL::bytea, NULL::bytea FROM file") +
           " UNION ALL SELECT 1, number::bigint, segment::bigint, attributes::bigint, data_type::bigint,"
           " \"offset\"::bigint, length::bigint, null_value::bigint, NULL, acs_name, NULL, acs, NULL, NULL, NULL, NULL"
           " FROM wbtrv_keys WHERE file_id = (SELECT id FROM file)"
           " UNION ALL SELECT 2, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, a.attname::text,"
           " format_type(a.atttypid, a.atttypmod), NULL, NULL, NULL, NULL, NULL"
           " FROM file JOIN pg_attribute a ON a.attrelid = file.records"
           " WHERE a.attnum > 0 AND NOT a.attisdropped ORDER BY 1, 2, 3";
}

const Prepared& findFileStatement(bool owner) {
    static const Prepared plain{"find_file", findFileSql(false)}, withOwner{"find_owned_file", findFileSql(true)};
    return owner ? withOwner : plain;
}

// The file's description from the statement's rows: 0, or 30 with `why`.
int describedFile(const PgResult& r, FoundFile& out, std::string& why) {
    out = FoundFile{};
    const MetadataRow meta{integerOrEmpty(r, 0, 2), integerOrEmpty(r, 0, 3), integerOrEmpty(r, 0, 4),
                           integerOrEmpty(r, 0, 5)};
    if (const int status = layoutFromMetadata(meta, out.layout, why); status != B_NO_ERROR) return status;
    std::vector<KeyRow> keys;
    std::map<std::string, std::string> columns;
    for (int i = 1; i < r.rows(); ++i) {
        if (r.integerAt(i, 0) == kColumnRow) {
            columns[r.textAt(i, 9)] = r.textAt(i, 10);
            continue;
        }
        KeyRow& row = keys.emplace_back();
        row = {integerOrEmpty(r, i, 1), integerOrEmpty(r, i, 2),         integerOrEmpty(r, i, 3),
               integerOrEmpty(r, i, 4), integerOrEmpty(r, i, 5),         integerOrEmpty(r, i, 6),
               integerOrEmpty(r, i, 7), bytesFromServer(r.textAt(i, 9)), {}};
        const auto acs = r.bytesAt(i, 11);
        row.collatingTable.assign(acs.begin(), acs.end());
    }
    if (const int status = keysFromRows(keys, out.layout, why); status != B_NO_ERROR) return status;
    out.number = r.integerAt(0, 1);
    // The record table must have exactly our columns: id, data and one per
    // key (a dropped key keeps its number but has none).
    std::map<std::string, std::string> expected{{"id", "bigint"}, {"data", "bytea"}};
    for (std::size_t n = 0; n < out.layout.keys.size(); ++n)
        if (!out.layout.keys[n].absent())
            expected[keyColumn(n)] = out.layout.keys[n].integerColumn() ? "bigint" : "bytea";
    if (columns != expected) {
        why = recordTable(out.number) + " does not have the columns id, data and one per key";
        return B_NOT_A_DATA_FILE;
    }
    for (KeyDefinition& key : out.layout.keys) key.encodedColumn = !key.absent() && !key.integerColumn();
    out.table = static_cast<Oid>(r.integerAt(0, 6));
    out.writable = r.integerAt(0, 7) != 0;
    // A file with a journal whose trigger is gone could not journal its changes.
    out.journalDamaged = out.layout.journalKept && r.integerAt(0, 12) == 0;
    if (r.isNull(0, 13)) return B_NO_ERROR;
    const auto salt = r.bytesAt(0, 14), hash = r.bytesAt(0, 15);
    OwnerRecord owner{r.integerAt(0, 13), {salt.begin(), salt.end()}, {hash.begin(), hash.end()}};
    if (!owner.sound()) {
        why = "wbtrv_owners holds a row this record manager did not write";
        return B_NOT_A_DATA_FILE;
    }
    out.owner = std::move(owner);
    return B_NO_ERROR;
}

}  // namespace

int findServerFile(PgConnection& db, const std::string& name, OpenLock lock, bool owner, FoundFile& out,
                   std::string& why) {
    PgResult r;
    const int status = db.run(findFileStatement(owner), PgParams().text(name).integer4(lock == OpenLock::Exclusive), r);
    if (status == B_SERVER_LOST) {
        why = "the server cannot be reached";
        return status;
    }
    // A transaction that failed on the server runs no statement until it is undone.
    if (status != B_NO_ERROR && db.transactionFailed()) {
        why = "the open transaction failed on the server and can only be aborted";
        return status;
    }
    if (status == B_ACCESS_DENIED) {
        why = "this role may not read the server's catalog";
        return status;
    }
    // No catalog yet: no file has been made on this server.
    if (status != B_NO_ERROR && db.lastState() != "42P01") {
        why = "the server's tables are not ours";
        return B_NOT_A_DATA_FILE;
    }
    if (status != B_NO_ERROR || r.rows() == 0 || r.integerAt(0, 0) != kFileRow) {
        why = "no such file";
        return B_FILE_NOT_FOUND;
    }
    const bool locked = !r.isNull(0, 8) && r.integerAt(0, 8) != 0;
    const int described = describedFile(r, out, why);
    if (described != B_NO_ERROR && locked)
        db.run(openLockRelease(lock), openLockKey(static_cast<Oid>(r.integerAt(0, 6))), r);
    if (described != B_NO_ERROR) return described;
    if (locked) return B_NO_ERROR;
    why = "the file is open exclusively elsewhere";
    return B_FILE_IN_USE;
}

const Prepared& openLockRelease(OpenLock lock) {
    static const Prepared exclusive{"release_open", "SELECT pg_advisory_unlock($1, $2)"};
    static const Prepared shared{"release_open_shared", "SELECT pg_advisory_unlock_shared($1, $2)"};
    return lock == OpenLock::Exclusive ? exclusive : shared;
}

PgParams openLockKey(Oid table) { return PgParams().integer4(lockClass(table)).integer4(kOpenLockSlot); }

}  // namespace wbtrv
