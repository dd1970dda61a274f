// What follows a commit that failed after its pages may have reached the log.
#pragma once

#include "sqlite/sqlite_handle.h"

namespace wbtrv {

// Whether a commit that failed with this extended result code may have left
// the whole transaction, commit mark included, in the log file: a failed
// sync. A failed write stops before the commit mark, which comes last.
bool commitMayLinger(int extendedCode);

// Makes sure a refused commit can never come back when the log is recovered
// after this process dies: rolls back, then writes a change that leaves every
// value as it was. Its log frames go where the refused transaction's began,
// so the refused frames no longer chain to a valid commit. Returns true when
// that write reached the disk (the file may go on being used); false when it
// too failed and the connection must not be trusted any more.
bool discardRefusedCommit(Database& db);

}  // namespace wbtrv
