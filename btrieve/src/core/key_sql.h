// The SQL text both engines share for key columns: the column's name and the
// queries that read along it. Only a file's own table name and numbers go
// into the text; every value is a parameter.
#pragma once

#include "core/batch_read.h"
#include "core/file_layout.h"
#include "core/record.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace wbtrv {

std::string keyColumn(std::size_t key);
// "id, data" and the column of every key the layout has; `columnOf` gets
// each key number's place in that list (-1 for a number no key has).
std::string keyColumnList(const FileLayout& layout, std::vector<int>& columnOf);

// The read along key `key` of `table`, answering id, data and the key column.
// Parameter 1 is the key value, 2 the record id, marked `mark` ('?' for
// SQLite, '$' for PostgreSQL). A NULL key value (a record left out of a null
// key) matches none of them.
std::string keyQuerySql(std::size_t key, KeyQuery which, const std::string& table, char mark);

// The highest value of an integer key's column, NULL in an empty file.
std::string highestValueSql(std::size_t key, const std::string& table);

// The walk of a batched read from a starting record: id, data and the key
// column (NULL in physical order), in the walk's order, without a limit.
// Parameter 1 is the starting key value, 2 its record id. Along a unique
// key the order needs no id, so an index of the key column alone gives it.
std::string batchWalkSql(std::optional<std::size_t> key, bool forward, BatchStart start, const std::string& table,
                         char mark, bool uniqueKey);
// Where parameter 1 stands along key `key` (kPhysicalOrder: a record id by
// id): the records before it, the records the key holds, and 1 when a
// record holds it, else 0.
std::string rankSql(std::size_t key, const std::string& table, char mark);
// The record after as many records as parameter 1 says along key `key`
// (kPhysicalOrder: by id): id, data and, along a key, the key column.
std::string atRankSql(std::size_t key, const std::string& table, char mark);

}  // namespace wbtrv
