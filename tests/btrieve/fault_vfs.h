// A VFS shim for the record manager's tests: registered as SQLite's default
// VFS of the test process (the record manager shares the process's SQLite),
// it passes every call on to the real VFS and fails the ones a plan names,
// as a full disk or a failing disk would, or cuts the power: what was synced
// stays, later writes are dropped or scrambled, and the process ends.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

namespace btrieve_test {

struct FaultPlan {
    int failWriteAfter = -1;       // writes that still succeed before every later one fails
    int writeError = SQLITE_FULL;  // what a failed write returns
    bool failSyncs = false;        // every sync fails (SQLITE_IOERR_FSYNC)
    bool failShmGrowth = false;    // growing the shared-memory file fails, as on a full disk
    int powerLossAtWrite = -1;     // the write after which the power fails (the process ends)
    bool scramble = false;         // unsynced writes are partly kept and one is garbage, not all dropped
    unsigned seed = 0;
};

// What a file has been given since its last sync, so a power loss can undo it.
struct Unsynced {
    std::vector<std::uint8_t> synced;  // the file's bytes at its last sync
    std::vector<std::pair<sqlite3_int64, std::vector<std::uint8_t>>> writes;
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
        unsynced.clear();
        random.seed(p.seed);
    }
    // Puts every unsynced file back to its synced bytes (replaying part of
    // its later writes and scrambling one, if the plan says so) and ends the process.
    [[noreturn]] void losePower();

    std::map<sqlite3_file*, Unsynced> unsynced;  // by the real file
    std::mt19937 random;

private:
    sqlite3_vfs vfs_{};
    sqlite3_vfs* real_ = nullptr;
};

}  // namespace btrieve_test
