#include "fault_vfs.h"

#include <unistd.h>

namespace btrieve_test {
namespace {

struct ShimFile {
    sqlite3_file base;
    FaultVfs* owner;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

ShimFile* shim(sqlite3_file* f) { return reinterpret_cast<ShimFile*>(f); }
sqlite3_file* real(sqlite3_file* f) { return shim(f)->real(); }
const sqlite3_io_methods* methods(sqlite3_file* f) { return real(f)->pMethods; }

// Passes a call on to the same method of the real file.
template <auto Method>
constexpr auto forward = [](sqlite3_file* f, auto... args) { return (methods(f)->*Method)(real(f), args...); };

std::vector<std::uint8_t> contents(sqlite3_file* file) {
    sqlite3_int64 size = 0;
    file->pMethods->xFileSize(file, &size);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0) file->pMethods->xRead(file, bytes.data(), static_cast<int>(size), 0);
    return bytes;
}

int shimClose(sqlite3_file* f) {
    shim(f)->owner->unsynced.erase(real(f));
    return methods(f)->xClose(real(f));
}
int shimWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
    FaultVfs& owner = *shim(f)->owner;
    if (owner.plan.failWriteAfter >= 0 && owner.writes++ >= owner.plan.failWriteAfter) return owner.plan.writeError;
    if (owner.plan.powerLossAtWrite >= 0) {
        auto [entry, added] = owner.unsynced.try_emplace(real(f));
        if (added) entry->second.synced = contents(real(f));
        const auto* bytes = static_cast<const std::uint8_t*>(p);
        entry->second.writes.emplace_back(at, std::vector<std::uint8_t>(bytes, bytes + n));
    }
    const int rc = methods(f)->xWrite(real(f), p, n, at);
    if (owner.plan.powerLossAtWrite >= 0 && owner.writes++ >= owner.plan.powerLossAtWrite) owner.losePower();
    return rc;
}
int shimTruncate(sqlite3_file* f, sqlite3_int64 size) {
    FaultVfs& owner = *shim(f)->owner;
    if (owner.plan.powerLossAtWrite >= 0) {
        auto [entry, added] = owner.unsynced.try_emplace(real(f));
        if (added) entry->second.synced = contents(real(f));
    }
    return methods(f)->xTruncate(real(f), size);
}
int shimSync(sqlite3_file* f, int flags) {
    if (shim(f)->owner->plan.failSyncs) return SQLITE_IOERR_FSYNC;
    shim(f)->owner->unsynced.erase(real(f));
    return methods(f)->xSync(real(f), flags);
}
int shimShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    if (extend && shim(f)->owner->plan.failShmGrowth) return SQLITE_IOERR_SHMSIZE;
    return methods(f)->xShmMap(real(f), region, size, extend, out);
}
const sqlite3_io_methods kShimMethods = {
    3,
    shimClose,
    forward<&sqlite3_io_methods::xRead>,
    shimWrite,
    shimTruncate,
    shimSync,
    forward<&sqlite3_io_methods::xFileSize>,
    forward<&sqlite3_io_methods::xLock>,
    forward<&sqlite3_io_methods::xUnlock>,
    forward<&sqlite3_io_methods::xCheckReservedLock>,
    forward<&sqlite3_io_methods::xFileControl>,
    forward<&sqlite3_io_methods::xSectorSize>,
    forward<&sqlite3_io_methods::xDeviceCharacteristics>,
    shimShmMap,
    forward<&sqlite3_io_methods::xShmLock>,
    forward<&sqlite3_io_methods::xShmBarrier>,
    forward<&sqlite3_io_methods::xShmUnmap>,
    forward<&sqlite3_io_methods::xFetch>,
    forward<&sqlite3_io_methods::xUnfetch>,
};

int shimOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* owner = static_cast<FaultVfs*>(vfs->pAppData);
    ShimFile* s = shim(f);
    s->owner = owner;
    s->base.pMethods = nullptr;
    const int rc = owner->realVfs()->xOpen(owner->realVfs(), name, s->real(), flags, outFlags);
    if (rc == SQLITE_OK && s->real()->pMethods) s->base.pMethods = &kShimMethods;
    return rc;
}

}  // namespace

FaultVfs::FaultVfs() : real_(sqlite3_vfs_find(nullptr)) {
    vfs_ = *real_;
    vfs_.zName = "grim-fault";
    vfs_.pAppData = this;
    vfs_.szOsFile = static_cast<int>(sizeof(ShimFile)) + real_->szOsFile;
    vfs_.xOpen = shimOpen;
    sqlite3_vfs_register(&vfs_, 1);
}

void FaultVfs::losePower() {
    for (auto& [file, state] : unsynced) {
        file->pMethods->xTruncate(file, static_cast<sqlite3_int64>(state.synced.size()));
        if (!state.synced.empty())
            file->pMethods->xWrite(file, state.synced.data(), static_cast<int>(state.synced.size()), 0);
        if (!plan.scramble) continue;
        // A random prefix of the writes reached the disk, the last of them as garbage.
        const std::size_t kept = std::uniform_int_distribution<std::size_t>(0, state.writes.size())(random);
        for (std::size_t w = 0; w < kept; ++w) {
            auto bytes = state.writes[w].second;
            if (w + 1 == kept)
                for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
            file->pMethods->xWrite(file, bytes.data(), static_cast<int>(bytes.size()), state.writes[w].first);
        }
    }
    _exit(0);
}

FaultVfs::~FaultVfs() {
    sqlite3_vfs_unregister(&vfs_);
    sqlite3_vfs_register(real_, 1);
}

}  // namespace btrieve_test
