// How an SQLite file keeps key columns: key_N's declaration and index, and
// reading its value back out of a row.
#pragma once

#include "core/key_definition.h"
#include "sqlite/sqlite_handle.h"

#include <cstddef>
#include <string>

namespace wbtrv {

// Declared type of a key column holding our order-preserving encoding; a
// column declared otherwise (made elsewhere) is read-only unless INTEGER.
inline constexpr const char* kEncodedKeyType = "ORDERED_KEY BLOB";

// Column declaration of key_N in data_t (the index, not the column, is unique).
std::string keyColumnDeclaration(const KeyDefinition& key);
// The one index of a key, UNIQUE unless the key allows duplicates.
std::string keyIndexStatement(std::size_t number, const KeyDefinition& key);

// The value key_N holds in column `column` of a row; false when the column
// holds a kind the key's column never holds (a text, a blob for an INTEGER key).
bool readKeyColumn(const Statement& st, int column, const KeyDefinition& key, KeyValue& out);

}  // namespace wbtrv
