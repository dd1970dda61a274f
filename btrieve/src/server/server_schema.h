// A world's tables on a database server: a catalog maps each file's name
// (lower-cased) to a number, its description rows sit beside it, and each
// file's records are in a table named from its number, so no table name is
// ever made from a caller's file name.
#pragma once

#include "core/file_layout.h"
#include "server/pg_connection.h"

#include <cstdint>
#include <string>

namespace wbtrv {

// The name a file has on a server: the last component of the name it is
// opened by, lower-cased, so one name means one file in any folder.
std::string nameOnServer(const std::string& path);

// The table holding the records of file number id.
std::string recordTable(std::int64_t id);

// The value of a key column in a result, as the server keeps it (bigint or
// bytea, or NULL); false when the column is of another type.
bool keyFromColumn(const PgResult& r, int row, int column, const KeyDefinition& key, KeyValue& out);

// Finds the file of this name: 0, 12 when there is none, 30 when the
// catalog is not ours, 20 when the server is lost.
int findServerFile(PgConnection& db, const std::string& name, std::int64_t& id);

// The file's description and its record table: `table` is the table's oid
// (0 when it is missing), `writable` whether this role may change its
// records, `journalDamaged` whether a file with a journal lacks the trigger
// that writes it. 0, or 30 with `why` when the tables are not ours.
int readServerLayout(PgConnection& db, std::int64_t id, FileLayout& layout, Oid& table, bool& writable,
                     bool& journalDamaged, std::string& why);

// Creates an empty file of this name, with its journal on, replacing one
// (and its journal) that no process has open when `replace` (else 59), in
// one transaction: 0, 59, 85, 25 or 20.
int createServerFile(PgConnection& db, const std::string& name, const FileLayout& layout, bool replace);

// The keys of the advisory locks of a file whose record table has oid
// `table`: the open lock and the write lock (two int4 keys each), and the
// record locks (one int8 key per record).
std::int32_t lockClass(Oid table);
constexpr std::int32_t kOpenLockSlot = 0;
constexpr std::int32_t kWriteLockSlot = 1;
std::int64_t recordLockKey(Oid table, std::int64_t id);

}  // namespace wbtrv
