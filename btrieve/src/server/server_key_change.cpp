// Changes to a data file itself on a server: its keys (Create Index, Drop
// Index) and, through changeAlone, its owner.
#include "core/key_sql.h"
#include "server/server_file.h"
#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

namespace wbtrv {
namespace {

// Records read and written back per round trip while an added key is filled.
constexpr int kFillBatch = 1000;

}  // namespace

// Every open of the file holds its open lock shared; this session's own
// shared lock does not stand in the way of its exclusive one, another
// session's does. Held until the change is committed or undone.
int ServerFile::changeAlone(const std::function<int()>& change) {
    const PgParams openLock = PgParams().integer4(lockClass(tableOid_)).integer4(kOpenLockSlot);
    PgResult r;
    int status = db_.run("hold_alone", "SELECT pg_try_advisory_lock($1, $2)::int", openLock, r);
    if (status != B_NO_ERROR) return status;
    if (r.integerAt(0, 0) == 0) return B_FILE_IN_USE;
    status = db_.run("BEGIN");
    if (status == B_NO_ERROR) status = change();
    if (db_.inTransaction()) {
        const int ended = db_.run(status == B_NO_ERROR ? "COMMIT" : "ROLLBACK");
        if (status == B_NO_ERROR) status = ended;
    }
    db_.run("release_alone", "SELECT pg_advisory_unlock($1, $2)", openLock, r);
    return status;
}

// Dropped columns go, the columns of keys that move down take their new
// numbers in ascending order (each new name freed just before), an added
// column is filled and only then declared NOT NULL and indexed.
int ServerFile::changeKeys(const KeyChange& change) {
    const std::string table = recordTable(number_);
    std::vector<bool> kept(layout_.keys.size(), false);
    for (const auto& former : change.formerNumber)
        if (former) kept[*former] = true;
    std::string alter;
    for (std::size_t k = 0; k < layout_.keys.size(); ++k)
        if (!layout_.keys[k].absent() && !kept[k])
            alter += "ALTER TABLE " + table + " DROP COLUMN " + keyColumn(k) + ";";
    for (std::size_t k = 0; k < change.formerNumber.size(); ++k)
        if (const auto former = change.formerNumber[k]; former && *former != k)
            alter += "ALTER TABLE " + table + " RENAME COLUMN " + keyColumn(*former) + " TO " + keyColumn(k) + ";";
    std::string finish;
    if (change.added) {
        const std::size_t n = *change.added;
        const KeyDefinition& key = change.layout.keys[n];
        alter +=
            "ALTER TABLE " + table + " ADD COLUMN " + keyColumn(n) + " " + (key.integerColumn() ? "bigint" : "bytea");
        if (!key.nullable()) finish = "ALTER TABLE " + table + " ALTER COLUMN " + keyColumn(n) + " SET NOT NULL;";
        finish += keyIndexSql(number_, n, key);
    }
    const int status = changeAlone([&] {
        PgResult none;
        int changed = db_.run(nullptr, "DELETE FROM wbtrv_keys WHERE file_id = $1", PgParams().integer(number_), none);
        if (changed == B_NO_ERROR) changed = describeKeys(db_, number_, change.layout);
        if (changed == B_NO_ERROR && !alter.empty()) changed = db_.run(alter);
        if (changed == B_NO_ERROR && change.added)
            changed = fillAddedKey(change.layout.keys[*change.added], *change.added);
        if (changed == B_NO_ERROR && !finish.empty()) changed = db_.run(finish);
        return changed;
    });
    if (status != B_NO_ERROR) return status;
    layout_ = change.layout;
    // Statements of the old layout name columns by their old numbers.
    db_.deallocate(statementPrefix(number_));
    statements_ = FileStatements(number_, layout_, tableOid_);
    return B_NO_ERROR;
}

// Batches of records in id order, their values sent back as two arrays in
// the arrays' text form (ids and values only, never caller text). No
// record's bytes change, so the journal's trigger is held off meanwhile (in
// the same transaction: a failure undoes that too).
int ServerFile::fillAddedKey(const KeyDefinition& key, std::size_t number) {
    bool journaling = false;
    if (layout_.journalKept) {
        PgResult parts;
        if (const int status = db_.run(journal_.parts, {}, parts); status != B_NO_ERROR) return status;
        journaling = !parts.isNull(0, 0) && parts.textAt(0, 0) != "D";
    }
    if (journaling)
        if (const int status = db_.run(journal_.disable); status != B_NO_ERROR) return status;
    const std::string table = recordTable(number_);
    const std::string read =
        "SELECT id, data FROM " + table + " WHERE id > $1 ORDER BY id LIMIT " + std::to_string(kFillBatch);
    const std::string write =
        "UPDATE " + table + " SET " + keyColumn(number) +
        " = v.k FROM unnest($1::text::bigint[], $2::text::" + (key.integerColumn() ? "bigint" : "bytea") +
        "[]) AS v(id, k) WHERE " + table + ".id = v.id";
    std::int64_t after = INT64_MIN;
    for (;;) {
        PgResult rows;
        if (const int status = db_.run(nullptr, read, PgParams().integer(after), rows); status != B_NO_ERROR)
            return status;
        if (rows.rows() == 0) return journaling ? db_.run(journal_.enable) : B_NO_ERROR;
        std::string ids, values;
        for (int i = 0; i < rows.rows(); ++i) {
            const auto data = rows.bytesAt(i, 1);
            KeyValue value;
            if (!key.fitsIn(data)) return B_IO_ERROR;
            if (!key.valueFromRecord(data, value)) return B_OPERATION_NOT_ALLOWED;
            after = rows.integerAt(i, 0);
            ids += (i ? "," : "") + std::to_string(after);
            values += i ? "," : "";
            values += value.null            ? "NULL"
                      : key.integerColumn() ? std::to_string(value.integer)
                                            : "\"\\\\x" + hex(value.encoded) + "\"";
        }
        PgResult none;
        if (const int status = db_.run(nullptr, write, PgParams().text("{" + ids + "}").text("{" + values + "}"), none);
            status != B_NO_ERROR)
            return status;
    }
}

}  // namespace wbtrv
