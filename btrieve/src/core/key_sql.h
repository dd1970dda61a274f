// All SQL text that concerns key columns: how key_N is declared and indexed,
// and the queries that read along it.
#pragma once

#include "core/key_definition.h"
#include "sqlite/sqlite_handle.h"

#include <cstddef>
#include <string>

namespace wbtrv {

// Declared type of a key column holding our order-preserving encoding; a
// column declared otherwise (made elsewhere) is read-only unless INTEGER.
inline constexpr const char* kEncodedKeyType = "ORDERED_KEY BLOB";

std::string keyColumn(std::size_t key);
// Column declaration of key_N in data_t (the index, not the column, is unique).
std::string keyColumnDeclaration(const KeyDefinition& key);
// The one index of a key, UNIQUE unless the key allows duplicates.
std::string keyIndexStatement(std::size_t number, const KeyDefinition& key);

// The value key_N holds in column `column` of a row; false when the column
// holds a kind the key's column never holds (a text, a blob for an INTEGER key).
bool readKeyColumn(const Statement& st, int column, const KeyDefinition& key, KeyValue& out);

// Reads along a key in `table`, answering id, data and the key column; ?1 is a key value, ?2 a record id
// (with mark '$' for PostgreSQL: $1, $2). A NULL key value (a record left out of a null key) matches none of them.
enum class KeyQuery {
    First,
    Last,
    NextSame,
    Greater,
    GreaterOrEqual,
    PreviousSame,
    Less,
    LessOrEqual,
    Equal,
    Max,
    Count
};
std::string keyQuerySql(std::size_t key, KeyQuery which, const std::string& table = "data_t", char mark = '?');

}  // namespace wbtrv
