// A data file's owner name in an SQLite file: one row of owner_t, a table
// the file has only while it has an owner (files made before owner names
// existed have none and open as they always did).
#pragma once

#include "core/owner.h"
#include "sqlite/sqlite_handle.h"

#include <optional>
#include <string>

namespace wbtrv {

// Reads the owner: 0 (none when there is no owner_t or it is empty), or 30
// with `why` when owner_t is not as this record manager writes it.
int readOwner(Database& db, std::optional<OwnerRecord>& owner, std::string& why);

}  // namespace wbtrv
