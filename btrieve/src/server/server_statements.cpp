#include "server/server_statements.h"

#include "core/key_sql.h"
#include "server/server_schema.h"

namespace wbtrv {
namespace {

// The server's advisory locks of this database, as pg_locks lists them: a
// record lock (one int8 key) under objsubid 1, its high half in classid; an
// announced wait (two int4 keys: the file's class and the record id + 2,
// above the open and write lock slots) under objsubid 2.
constexpr const char* kAdvisoryLocks =
    " FROM pg_locks WHERE locktype = 'advisory' AND granted"
    " AND database = (SELECT oid FROM pg_database WHERE datname = current_database()) AND classid::bigint = $1";

std::string parameter(std::size_t n) { return "$" + std::to_string(n); }

// Batched-read shapes a file prepares; a caller asking for ever new shapes
// gets them run unprepared beyond these.
constexpr std::size_t kMaxBatchShapes = 32;

}  // namespace

std::string statementPrefix(std::int64_t number) { return "f" + std::to_string(number) + "_"; }

FileStatements::FileStatements(std::int64_t number, const FileLayout& layout, Oid table)
    : tableName(recordTable(number)), prefix(statementPrefix(number)) {
    const std::string& t = tableName;
    // The record and key values are parameters 1 to keys + 1, one per key the file has.
    std::size_t keys = 0;
    std::string columns, values, assignments;
    for (std::size_t k = 0; k < layout.keys.size(); ++k) {
        auto& reads = along.emplace_back();
        highest.emplace_back();
        rank.emplace_back();
        atRank.emplace_back();
        if (layout.keys[k].absent()) continue;
        ++keys;
        columns += ", " + keyColumn(k);
        values += ", " + parameter(keys + 1);
        assignments += ", " + keyColumn(k) + " = " + parameter(keys + 1);
        for (std::size_t q = 0; q < kKeyQueries; ++q)
            reads[q] = {prefix + "k" + std::to_string(k) + "_" + std::to_string(q),
                        keyQuerySql(k, static_cast<KeyQuery>(q), t, '$')};
        highest.back() = {prefix + "h" + std::to_string(k), highestValueSql(k, t)};
        rank.back() = {prefix + "r" + std::to_string(k), rankSql(k, t, '$')};
        atRank.back() = {prefix + "o" + std::to_string(k), atRankSql(k, t, '$')};
    }
    rank.push_back({prefix + "rp", rankSql(kPhysicalOrder, t, '$')});
    atRank.push_back({prefix + "op", atRankSql(kPhysicalOrder, t, '$')});
    const std::string select = "SELECT id, data FROM " + t + " WHERE id ";
    after = {prefix + "after", select + "> $1 ORDER BY id LIMIT 1"};
    before = {prefix + "before", select + "< $1 ORDER BY id DESC LIMIT 1"};
    exact = {prefix + "exact", select + "= $1"};
    count = {prefix + "count", "SELECT count(*) FROM " + t};

    const std::string into = "INSERT INTO " + t + "(id, data" + columns + ") ";
    const std::string returning = " ON CONFLICT DO NOTHING RETURNING id";
    insert = {prefix + "insert", into + "SELECT coalesce(max(id), 0) + 1, $1" + values + " FROM " + t + returning};
    insertNext = {prefix + "insert_next", into + "VALUES (" + parameter(keys + 2) + ", $1" + values + ")" + returning};

    // The guard's parameters follow the write's own: n + 1 the record's lock
    // key, n + 2 and n + 3 the file's write lock.
    const auto guarded = [](const std::string& write, std::size_t n) {
        const std::string record = parameter(n + 1);
        return write + " AND EXISTS (SELECT FROM (SELECT pg_advisory_xact_lock(" + parameter(n + 2) + ", " +
               parameter(n + 3) + ")) AS hold) AND CASE WHEN pg_try_advisory_lock_shared(" + record +
               ") THEN pg_advisory_unlock_shared(" + record + ") ELSE false END";
    };
    update = {prefix + "update", guarded("UPDATE " + t + " SET data = $1" + assignments + " WHERE id = " +
                                             parameter(keys + 2) + " AND data = " + parameter(keys + 3),
                                         keys + 3)};
    remove = {prefix + "delete", guarded("DELETE FROM " + t + " WHERE id = $1 AND data = $2", 2)};

    holdFile = "BEGIN; SELECT pg_advisory_xact_lock(" + std::to_string(lockClass(table)) + ", " +
               std::to_string(kWriteLockSlot) + ")";
    for (std::size_t k = 0; k < layout.keys.size(); ++k)
        holdFileAndHighest.push_back(holdFile + "; " + highestValueSql(k, t));

    std::string highestKeys;
    for (std::size_t k = 0; k < layout.keys.size(); ++k)  // one column per key number, a dropped one's NULL
        highestKeys +=
            layout.keys[k].autoincrement() && !layout.keys[k].absent() ? ", max(" + keyColumn(k) + ")" : ", NULL::int8";
    copyRows = "SAVEPOINT insert_many; COPY " + t + "(id, data" + columns + ") FROM STDIN (FORMAT binary)";
    // Per unique key u, its value in row o of the batch repeats one stored, or
    // one of a row before o (the count of its partition up to o).
    std::string names, counts, repeats;
    std::size_t unique = 0;
    for (std::size_t k = 0; k < layout.keys.size(); ++k) {
        if (layout.keys[k].absent() || layout.keys[k].allowsDuplicates()) continue;
        const std::string u = "u" + std::to_string(unique), n = "n" + std::to_string(unique);
        names += (unique ? ", " : "") + u;
        counts += ", " + u + ", count(*) OVER (PARTITION BY " + u + " ORDER BY o) AS " + n;
        repeats += std::string(unique ? " OR " : "") + "(" + u + " IS NOT NULL AND (" + n +
                   " > 1 OR EXISTS (SELECT FROM " + t + " WHERE " + keyColumn(k) + " = r." + u + ")))";
        ++unique;
    }
    std::string arrays;
    for (std::size_t u = 0; u < unique; ++u) arrays += (u ? ", " : "") + parameter(u + 1);
    if (unique > 0)
        firstRepeat = {prefix + "first_repeat", "SELECT min(o) FROM (SELECT o" + counts + " FROM unnest(" + arrays +
                                                    ") WITH ORDINALITY AS r(" + names + ", o)) AS r WHERE " + repeats};
    highestAll = {prefix + "highest_all", "SELECT coalesce(max(id), 0)" + highestKeys + " FROM " + t};
    holdFileAndHighestAll = holdFile + "; " + highestAll.sql;

    lockRecord = {"lock_record", "SELECT pg_try_advisory_lock($1)::int"};
    unlockRecord = {"unlock_record", "SELECT pg_advisory_unlock($1)"};
    // A probe that takes the lock and gives it back costs the same however
    // many locks the server holds, where a look into the server's lock list
    // grows with them. It takes the lock shared, as the guarded writes do, so
    // that two processes probing one record at once do not see each other's
    // probe as a holder: a record lock is only ever held exclusively.
    recordHeld = {"record_held",
                  "SELECT CASE WHEN pg_try_advisory_lock_shared($1) THEN (NOT pg_advisory_unlock_shared($1))::int "
                  "ELSE 1 END"};
    recordHolder = {"record_holder",
                    "SELECT pid" + std::string(kAdvisoryLocks) +
                        " AND objsubid = 1 AND objid::bigint = $2 AND pid <> pg_backend_pid() LIMIT 1"};
    announceWait = {"announce_wait", "SELECT pg_try_advisory_lock_shared($1, $2)::int"};
    endWait = {"end_wait", "SELECT pg_advisory_unlock_shared($1, $2)::int"};
    awaitedBy = {"awaited_by", "SELECT objid::bigint" + std::string(kAdvisoryLocks) +
                                   " AND objsubid = 2 AND objid::bigint >= $3 AND pid = $2 LIMIT 1"};
}

const std::string* FileStatements::batchName(const std::string& sql) {
    if (const auto it = batchNames_.find(sql); it != batchNames_.end()) return &it->second;
    if (batchNames_.size() >= kMaxBatchShapes) return nullptr;
    return &batchNames_.emplace(sql, prefix + "batch" + std::to_string(batchNames_.size())).first->second;
}

}  // namespace wbtrv
