// A data file's owner name on a server: one row of wbtrv_owners beside the
// file's catalog row, which every process and client of the server sees. A
// catalog made before owner names existed has no such table until a Create
// or Set Owner makes it; its files open as they always did.
#pragma once

#include "core/owner.h"
#include "server/pg_connection.h"

#include <cstdint>
#include <optional>
#include <string>

namespace wbtrv {

// Reads file number id's owner: 0 (none without a row), 30 with `why` for a
// row this record manager did not write, 46 when this role may not read it, 20.
int readServerOwner(PgConnection& db, std::int64_t id, std::optional<OwnerRecord>& owner, std::string& why);

}  // namespace wbtrv
