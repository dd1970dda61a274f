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

Engine& Engine::instance() {
    static Engine engine;
    return engine;
}

Engine::Engine() : nextGeneration_(randomGeneration()) {
    pthread_atfork(&Engine::beforeFork, &Engine::afterForkInParent, &Engine::afterForkInChild);
}

void Engine::beforeFork() { instance().mutex_.lock(); }
void Engine::afterForkInParent() { instance().mutex_.unlock(); }

void Engine::afterForkInChild() {
    Engine& engine = instance();
    engine.forked_ = true;
    engine.mutex_.unlock();
}

void Engine::leaveParentState() {
    if (!forked_) return;
    forked_ = false;
    for (auto& file : files_) inherited_.push_back(file.release());
    files_.clear();
    handles_.clear();
    inTransaction_ = false;  // the parent's, which the parent ends
    nextGeneration_ = randomGeneration();
}

Handle* Engine::handleOf(const void* block) {
    BlockTag tag;
    if (!block || !readBlock(block, tag)) return nullptr;
    const auto it = handles_.find(tag.id);
    // A copy of a block carries a valid tag but lives elsewhere: refused too.
    if (it == handles_.end() || it->second.generation != tag.generation || it->second.block != block) return nullptr;
    return &it->second;
}

DataFile* Engine::fileWithIdentity(const FileIdentity& identity) {
    for (auto& file : files_)
        if (file->identity() == identity) return file.get();
    return nullptr;
}

int Engine::open(const std::string& path, std::int8_t mode, void* block) {
    const bool exclusive = mode == B_MODE_EXCLUSIVE;
    DataFile* file = nullptr;
    FileIdentity identity;
    if (identifyByName(path, identity)) file = fileWithIdentity(identity);
    if (file) {
        if (exclusive || file->exclusive()) return B_FILE_IN_USE;
    } else {
        // A file of ours renamed away but still open here keeps its log
        // files under this path: the file now there must wait until it closes.
        for (const auto& open : files_)
            if (open->path() == path) return B_FILE_IN_USE;
        std::unique_ptr<DataFile> opened;
        if (const int status = openDataFile(path, exclusive, opened); status != B_NO_ERROR) return status;
        file = opened.get();
        if (inTransaction_) file->joinTransaction();
        files_.push_back(std::move(opened));
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
    handle.readOnly = mode == B_MODE_READ_ONLY || file->readOnly();
    writeBlock(block, BlockTag{id, handle.generation});
    return B_NO_ERROR;
}

void Engine::unlock(Handle& handle) {
    if (handle.singleLock) handle.file->releaseRecord(*handle.singleLock);
    for (std::int64_t id : handle.multipleLocks) handle.file->releaseRecord(id);
    handle.singleLock.reset();
    handle.multipleLocks.clear();
}

void Engine::unlock(Handle& handle, std::int64_t id, bool multipleToo) {
    if (handle.singleLock == id) {
        handle.file->releaseRecord(id);
        handle.singleLock.reset();
    }
    if (multipleToo && handle.multipleLocks.erase(id)) handle.file->releaseRecord(id);
}

void Engine::close(void* block) {
    Handle* handle = handleOf(block);
    if (!handle) return;
    unlock(*handle);
    DataFile* file = handle->file;
    BlockTag tag;
    readBlock(block, tag);
    handles_.erase(tag.id);
    clearBlock(block);
    if (--file->users == 0) std::erase_if(files_, [&](const auto& f) { return f.get() == file; });
}

void Engine::closeAll() {
    if (inTransaction_) endTransaction(false);
    handles_.clear();
    files_.clear();
}

int Engine::beginTransaction() {
    if (inTransaction_) return B_TRANSACTION_ACTIVE;
    inTransaction_ = true;
    for (auto& file : files_) file->joinTransaction();
    return B_NO_ERROR;
}

// Files are committed one after another; once one fails, the rest are rolled back.
int Engine::endTransaction(bool commit) {
    if (!inTransaction_) return B_NO_TRANSACTION;
    inTransaction_ = false;
    int status = B_NO_ERROR;
    for (auto& file : files_) {
        const int finished = file->finishTransaction(commit && status == B_NO_ERROR);
        if (status == B_NO_ERROR) status = finished;
    }
    return status;
}

}  // namespace wbtrv
