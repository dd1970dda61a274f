// A VFS shim for the record manager's tests: registered as SQLite's default
// VFS of the test process (the record manager shares the process's SQLite),
// it passes every call on to the real VFS and fails the ones a plan names,
// as a full disk or a failing disk would.
#pragma once

#include <sqlite3.h>

namespace btrieve_test {

struct FaultPlan {
    int failWriteAfter = -1;       // writes that still succeed before every later one fails
    int writeError = SQLITE_FULL;  // what a failed write returns
    bool failSyncs = false;        // every sync fails (SQLITE_IOERR_FSYNC)
    bool failShmGrowth = false;    // growing the shared-memory file fails, as on a full disk
};

class FaultVfs {
public:
    FaultVfs();  // registers as the default VFS
    ~FaultVfs();
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    FaultPlan plan;
    int writes = 0;  // writes seen since the plan was last set
    sqlite3_vfs* realVfs() const { return real_; }
    void arm(const FaultPlan& p) {
        plan = p;
        writes = 0;
    }

private:
    sqlite3_vfs vfs_{};
    sqlite3_vfs* real_ = nullptr;
};

}  // namespace btrieve_test
