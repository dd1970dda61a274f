// Finding a file on a server for Open and verify: the catalog's row, the
// description, the owner, the record table and the open lock, in one round trip.
#pragma once

#include "core/file_layout.h"
#include "core/owner.h"
#include "server/pg_connection.h"

#include <cstdint>
#include <optional>
#include <string>

namespace wbtrv {

// What Open and verify learn of a file.
struct FoundFile {
    std::int64_t number = 0;  // its number in the catalog
    FileLayout layout;
    Oid table = 0;          // its record table: what its advisory locks are keyed by
    bool writable = false;  // whether this role may change its records
    // Whether a file with a journal lacks the trigger that writes it.
    bool journalDamaged = false;
    std::optional<OwnerRecord> owner;  // read only when asked for
};

// How the file's open lock is taken: shared by every open but an exclusive one.
enum class OpenLock { Shared, Exclusive };

// Finds the file of this name, reads its description (and, with `owner`, its
// owner from the owners' view, which a catalog made before owner names
// lacks: the statement then fails as for a missing catalog), checks its
// record table's columns and this role's rights there, and takes its open
// lock, in one statement: 0, 12 when there is none, 30 when the tables are
// not ours, 85 when the file is open exclusively elsewhere (or, for an
// exclusive lock, open at all), 20 when the server is lost; `why` says which.
int findServerFile(PgConnection& db, const std::string& name, OpenLock lock, bool owner, FoundFile& out,
                   std::string& why);
// The statement that gives back the open lock findServerFile took, and its parameters.
const Prepared& openLockRelease(OpenLock lock);
PgParams openLockKey(Oid table);

}  // namespace wbtrv
