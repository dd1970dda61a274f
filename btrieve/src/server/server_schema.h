// A world's tables on a database server: a catalog maps each file's name
// to a number, its description rows sit beside it, and each
// file's records are in a table named from its number, so no table name is
// ever made from a caller's file name.
#pragma once

#include "core/file_layout.h"
#include "server/pg_connection.h"

#include <cstdint>
#include <string>

namespace wbtrv {

// The name a file has on a server, as the catalog keeps it (server/server_text.h):
// the last part of the name it is opened by, after its last '/', byte for
// byte as a folder keeps it, so one name means one file in any folder.
std::string nameOnServer(const std::string& path);

// The table holding the records of file number id.
std::string recordTable(std::int64_t id);

// The value of a key column in a result, as the server keeps it (bigint or
// bytea, or NULL); false when the column is of another type.
bool keyFromColumn(const PgResult& r, int row, int column, const KeyDefinition& key, KeyValue& out);

// The declaration of a key's column, and the statement making its index.
std::string keyColumnType(const KeyDefinition& key);
std::string keyIndexSql(std::int64_t id, std::size_t number, const KeyDefinition& key);
// Writes the description rows of file id's keys.
int describeKeys(PgConnection& db, std::int64_t id, const FileLayout& layout);

// Makes the catalog's tables that are missing (those of earlier versions
// lack the owners' table), inside the transaction open on db.
int ensureCatalog(PgConnection& db);

// Creates an empty file of this name, with its journal on, replacing one
// (and its journal) that no process has open when `replace` (else 59), in
// one transaction: 0, 59, 85, 46 (this role may not make it), 25 or 20.
int createServerFile(PgConnection& db, const std::string& name, const FileLayout& layout, bool replace);

// The keys of the advisory locks of a file whose record table has oid
// `table`: the open lock and the write lock (two int4 keys each), and the
// record locks (one int8 key per record).
std::int32_t lockClass(Oid table);
constexpr std::int32_t kOpenLockSlot = 0;
constexpr std::int32_t kWriteLockSlot = 1;
std::int64_t recordLockKey(Oid table, std::int64_t id);

}  // namespace wbtrv
