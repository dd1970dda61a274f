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
int shimRead(sqlite3_file* f, void* p, int n, sqlite3_int64 at) { return methods(f)->xRead(real(f), p, n, at); }
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
int shimFileSize(sqlite3_file* f, sqlite3_int64* size) { return methods(f)->xFileSize(real(f), size); }
int shimLock(sqlite3_file* f, int level) { return methods(f)->xLock(real(f), level); }
int shimUnlock(sqlite3_file* f, int level) { return methods(f)->xUnlock(real(f), level); }
int shimCheckReserved(sqlite3_file* f, int* out) { return methods(f)->xCheckReservedLock(real(f), out); }
int shimFileControl(sqlite3_file* f, int op, void* arg) { return methods(f)->xFileControl(real(f), op, arg); }
int shimSectorSize(sqlite3_file* f) { return methods(f)->xSectorSize(real(f)); }
int shimDeviceCharacteristics(sqlite3_file* f) { return methods(f)->xDeviceCharacteristics(real(f)); }
int shimShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    if (extend && shim(f)->owner->plan.failShmGrowth) return SQLITE_IOERR_SHMSIZE;
    return methods(f)->xShmMap(real(f), region, size, extend, out);
}
int shimShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return methods(f)->xShmLock(real(f), offset, n, flags);
}
void shimShmBarrier(sqlite3_file* f) { methods(f)->xShmBarrier(real(f)); }
int shimShmUnmap(sqlite3_file* f, int deleteFlag) { return methods(f)->xShmUnmap(real(f), deleteFlag); }
int shimFetch(sqlite3_file* f, sqlite3_int64 at, int n, void** p) { return methods(f)->xFetch(real(f), at, n, p); }
int shimUnfetch(sqlite3_file* f, sqlite3_int64 at, void* p) { return methods(f)->xUnfetch(real(f), at, p); }

const sqlite3_io_methods kShimMethods = {
    3,
    shimClose,
    shimRead,
    shimWrite,
    shimTruncate,
    shimSync,
    shimFileSize,
    shimLock,
    shimUnlock,
    shimCheckReserved,
    shimFileControl,
    shimSectorSize,
    shimDeviceCharacteristics,
    shimShmMap,
    shimShmLock,
    shimShmBarrier,
    shimShmUnmap,
    shimFetch,
    shimUnfetch,
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
