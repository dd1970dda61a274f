#include "operations/registry.h"

#include <wbtrv32/btrieve.h>

#include <pthread.h>

#include <algorithm>
#include <random>

namespace wbtrv {
namespace {

std::uint64_t randomGeneration() {
    std::random_device device;
    return (std::uint64_t{device()} << 32) ^ device();
}

}  // namespace

Registry& Registry::instance() {
    static Registry registry;
    return registry;
}

Registry::Registry() : nextGeneration_(randomGeneration()) {
    pthread_atfork(&Registry::beforeFork, &Registry::afterForkInParent, &Registry::afterForkInChild);
}

void Registry::beforeFork() { instance().mutex_.lock(); }
void Registry::afterForkInParent() { instance().mutex_.unlock(); }

void Registry::afterForkInChild() {
    Registry& registry = instance();
    registry.forked_ = true;
    registry.mutex_.unlock();
}

void Registry::leaveParentState() {
    if (!forked_) return;
    forked_ = false;
    for (auto& file : files_) inherited_.push_back(file.release());
    files_.clear();
    handles_.clear();
    inTransaction_ = false;  // the parent's, which the parent ends
    nextGeneration_ = randomGeneration();
}

Handle* Registry::handleOf(const void* block) {
    BlockTag tag;
    if (!block || !readBlock(block, tag)) return nullptr;
    const auto it = handles_.find(tag.id);
    // A copy of a block carries a valid tag but lives elsewhere: refused too.
    if (it == handles_.end() || it->second.generation != tag.generation || it->second.block != block) return nullptr;
    return &it->second;
}

OpenFile* Registry::fileWithIdentity(const FileIdentity& identity) {
    for (auto& file : files_)
        if (file->identity() == identity) return file.get();
    return nullptr;
}

int Registry::open(const std::string& path, std::int8_t mode, void* block, std::string_view ownerName) {
    const bool exclusive = mode == B_MODE_EXCLUSIVE;
    Engine& engine = engines_.keeping(path);
    OpenFile* file = nullptr;
    FileIdentity identity;
    bool ownerReadOnly = false;
    if (engine.identify(path, identity)) file = fileWithIdentity(identity);
    if (file) {
        if (exclusive || file->exclusive()) return B_FILE_IN_USE;
        if (const int status = ownerAccess(file->owner(), ownerName, ownerReadOnly); status != B_NO_ERROR)
            return status;
    } else {
        // A file still open here under this name that is no longer the file
        // the name means (renamed away) may keep what belongs to the name, such
        // as an SQLite file's log: the file now there waits until it closes.
        for (const auto& open : files_)
            if (open->path() == path) return B_FILE_IN_USE;
        std::unique_ptr<StoredFile> stored;
        if (const int status = engine.open(path, exclusive, stored); status != B_NO_ERROR) return status;
        if (const int status = ownerAccess(stored->owner(), ownerName, ownerReadOnly); status != B_NO_ERROR)
            return status;
        file = files_.emplace_back(std::make_unique<OpenFile>(path, exclusive, std::move(stored))).get();
        if (inTransaction_) file->joinTransaction();
    }
    // Counted before a block still open from before is closed (rather than
    // leaked), so closing it cannot close the file it reopens.
    ++file->users;
    close(block);
    std::uint32_t id = nextId_++;
    while (id == 0 || handles_.contains(id)) id = nextId_++;
    Handle& handle = handles_[id];
    handle.generation = nextGeneration_++;
    handle.block = block;
    handle.file = file;
    handle.readOnly = mode == B_MODE_READ_ONLY || file->readOnly() || ownerReadOnly;
    handle.ownerNamed = file->owner() && !ownerName.empty();
    writeBlock(block, BlockTag{id, handle.generation});
    return B_NO_ERROR;
}

void Registry::unlock(Handle& handle) {
    if (handle.singleLock) handle.file->releaseRecord(*handle.singleLock);
    for (std::int64_t id : handle.multipleLocks) handle.file->releaseRecord(id);
    handle.singleLock.reset();
    handle.multipleLocks.clear();
}

void Registry::unlock(Handle& handle, std::int64_t id, bool multipleToo) {
    if (handle.singleLock == id) {
        handle.file->releaseRecord(id);
        handle.singleLock.reset();
    }
    if (multipleToo && handle.multipleLocks.erase(id)) handle.file->releaseRecord(id);
}

void Registry::close(void* block) {
    Handle* handle = handleOf(block);
    if (!handle) return;
    unlock(*handle);
    OpenFile* file = handle->file;
    BlockTag tag;
    readBlock(block, tag);
    handles_.erase(tag.id);
    clearBlock(block);
    if (--file->users == 0) std::erase_if(files_, [&](const auto& f) { return f.get() == file; });
}

void Registry::closeAll() {
    if (inTransaction_) endTransaction(false);
    handles_.clear();
    files_.clear();
}

std::string Registry::resolve(const std::string& name) const {
    if (directory_.empty() || name.starts_with('/')) return name;
    return directory_ + (directory_.ends_with('/') ? "" : "/") + name;
}

int Registry::beginTransaction() {
    if (inTransaction_) return B_TRANSACTION_ACTIVE;
    inTransaction_ = true;
    for (auto& file : files_) file->joinTransaction();
    return B_NO_ERROR;
}

// Each server's transaction ends first, covering all the process's files
// there at once, then each file in a folder commits on its own; once one
// fails, the rest are rolled back.
int Registry::endTransaction(bool commit) {
    if (!inTransaction_) return B_NO_TRANSACTION;
    inTransaction_ = false;
    std::vector<OpenFile*> order;
    for (auto& file : files_) order.push_back(file.get());
    std::stable_partition(order.begin(), order.end(),
                          [this](const OpenFile* file) { return engines_.endsFirst(*file->identity().engine); });
    int status = B_NO_ERROR;
    for (OpenFile* file : order) {
        const int finished = file->finishTransaction(commit && status == B_NO_ERROR);
        if (status == B_NO_ERROR) status = finished;
    }
    return status;
}

}  // namespace wbtrv
