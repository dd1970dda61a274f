// The tables of a data file: writing them for a new file and reading a file's
// layout back (which also decides whether a file is one of ours).
#pragma once

#include "core/file_layout.h"
#include "core/layout_rows.h"
#include "sqlite/sqlite_handle.h"

#include <string>

namespace wbtrv {

// Creates the tables, indexes and description rows of a new, empty file,
// with its journal of changes on.
int createSchema(Database& db, const FileLayout& layout);

// Reads the layout; returns 0, 30 when the file is not one of ours, or the
// status of an SQLite failure (85 busy, 2 otherwise). `why` says what is wrong.
int readLayout(Database& db, FileLayout& layout, std::string& why);

// Maps an SQLite result code to a status.
int statusFromSqlite(int rc);

}  // namespace wbtrv
