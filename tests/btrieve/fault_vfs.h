// A VFS shim for the record manager's tests: registered as SQLite's default
// VFS of the test process (the record manager shares the process's SQLite),
// it passes every call on to the real VFS and fails the ones a plan names,
// as a full disk or a failing disk would, or cuts the power: what was synced
// stays, later writes are dropped or scrambled, and the process ends.
#pragma once

#include <sqlite3.h>
#include <unistd.h>

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

class FaultVfs {
public:
    FaultVfs() : real_(sqlite3_vfs_find(nullptr)) {
        vfs_ = *real_;
        vfs_.zName = "grim-fault";
        vfs_.pAppData = this;
        vfs_.szOsFile = static_cast<int>(sizeof(ShimFile)) + real_->szOsFile;
        vfs_.xOpen = open;
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~FaultVfs() {
        sqlite3_vfs_unregister(&vfs_);
        sqlite3_vfs_register(real_, 1);
    }
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    void arm(const FaultPlan& p) {
        plan_ = p;
        writes_ = 0;
        unsynced_.clear();
        random_.seed(p.seed);
    }

private:
    struct ShimFile {
        sqlite3_file base;
        FaultVfs* owner;
        sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
    };
    // What a file has been given since its last sync, so a power loss can undo it.
    struct Unsynced {
        std::vector<std::uint8_t> synced;  // the file's bytes at its last sync
        std::vector<std::pair<sqlite3_int64, std::vector<std::uint8_t>>> writes;
    };

    static ShimFile* shim(sqlite3_file* f) { return reinterpret_cast<ShimFile*>(f); }
    static sqlite3_file* real(sqlite3_file* f) { return shim(f)->real(); }
    static FaultVfs& owner(sqlite3_file* f) { return *shim(f)->owner; }
    // Passes a call on to the same method of the real file.
    template <auto Method>
    static constexpr auto forward =
        [](sqlite3_file* f, auto... args) { return (real(f)->pMethods->*Method)(real(f), args...); };

    // Starts the record of what the file gets until its next sync.
    Unsynced& track(sqlite3_file* file) {
        auto [entry, added] = unsynced_.try_emplace(file);
        sqlite3_int64 size = 0;
        if (added && file->pMethods->xFileSize(file, &size) == SQLITE_OK && size > 0) {
            entry->second.synced.resize(static_cast<std::size_t>(size));
            file->pMethods->xRead(file, entry->second.synced.data(), static_cast<int>(size), 0);
        }
        return entry->second;
    }
    static int close(sqlite3_file* f) {
        owner(f).unsynced_.erase(real(f));
        return real(f)->pMethods->xClose(real(f));
    }
    static int write(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
        FaultVfs& o = owner(f);
        if (o.plan_.failWriteAfter >= 0 && o.writes_++ >= o.plan_.failWriteAfter) return o.plan_.writeError;
        if (o.plan_.powerLossAtWrite < 0) return real(f)->pMethods->xWrite(real(f), p, n, at);
        const auto* bytes = static_cast<const std::uint8_t*>(p);
        o.track(real(f)).writes.emplace_back(at, std::vector<std::uint8_t>(bytes, bytes + n));
        const int rc = real(f)->pMethods->xWrite(real(f), p, n, at);
        if (o.writes_++ >= o.plan_.powerLossAtWrite) o.losePower();
        return rc;
    }
    static int truncate(sqlite3_file* f, sqlite3_int64 size) {
        if (owner(f).plan_.powerLossAtWrite >= 0) owner(f).track(real(f));
        return real(f)->pMethods->xTruncate(real(f), size);
    }
    static int sync(sqlite3_file* f, int flags) {
        if (owner(f).plan_.failSyncs) return SQLITE_IOERR_FSYNC;
        owner(f).unsynced_.erase(real(f));
        return real(f)->pMethods->xSync(real(f), flags);
    }
    static int shmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
        if (extend && owner(f).plan_.failShmGrowth) return SQLITE_IOERR_SHMSIZE;
        return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
    }
    static int open(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags) {
        using M = sqlite3_io_methods;
        // clang-format off
        static const M methods = {3, close, forward<&M::xRead>, write, truncate, sync, forward<&M::xFileSize>,
            forward<&M::xLock>, forward<&M::xUnlock>, forward<&M::xCheckReservedLock>, forward<&M::xFileControl>,
            forward<&M::xSectorSize>, forward<&M::xDeviceCharacteristics>, shmMap, forward<&M::xShmLock>,
            forward<&M::xShmBarrier>, forward<&M::xShmUnmap>, forward<&M::xFetch>, forward<&M::xUnfetch>};
        // clang-format on
        auto* o = static_cast<FaultVfs*>(vfs->pAppData);
        shim(f)->owner = o;
        shim(f)->base.pMethods = nullptr;
        const int rc = o->real_->xOpen(o->real_, name, real(f), flags, outFlags);
        if (rc == SQLITE_OK && real(f)->pMethods) shim(f)->base.pMethods = &methods;
        return rc;
    }

    // Puts every unsynced file back to its synced bytes (replaying a random
    // prefix of its later writes, the last of them as garbage, if the plan
    // says so) and ends the process.
    [[noreturn]] void losePower() {
        for (auto& [file, state] : unsynced_) {
            file->pMethods->xTruncate(file, static_cast<sqlite3_int64>(state.synced.size()));
            if (!state.synced.empty())
                file->pMethods->xWrite(file, state.synced.data(), static_cast<int>(state.synced.size()), 0);
            const std::size_t kept =
                plan_.scramble ? std::uniform_int_distribution<std::size_t>(0, state.writes.size())(random_) : 0;
            for (std::size_t w = 0; w < kept; ++w) {
                auto bytes = state.writes[w].second;
                if (w + 1 == kept)
                    for (auto& b : bytes) b = static_cast<std::uint8_t>(random_());
                file->pMethods->xWrite(file, bytes.data(), static_cast<int>(bytes.size()), state.writes[w].first);
            }
        }
        _exit(0);
    }

    FaultPlan plan_;
    int writes_ = 0;                              // writes seen since the plan was last set
    std::map<sqlite3_file*, Unsynced> unsynced_;  // by the real file
    std::mt19937 random_;
    sqlite3_vfs vfs_{};
    sqlite3_vfs* real_ = nullptr;
};

}  // namespace btrieve_test
