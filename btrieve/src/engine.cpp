#include "engine.h"

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
    if (identify(path, identity)) file = fileWithIdentity(identity);
    if (file) {
        if (exclusive || file->exclusive()) return B_FILE_IN_USE;
    } else {
        // A file of ours renamed away but still open here keeps its log
        // files under this path: the file now there must wait until it closes.
        for (const auto& open : files_)
            if (open->path() == path) return B_FILE_IN_USE;
        std::unique_ptr<DataFile> opened;
        if (const int status = DataFile::open(path, exclusive, opened); status != B_NO_ERROR) return status;
        file = opened.get();
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

void Engine::close(void* block) {
    Handle* handle = handleOf(block);
    if (!handle) return;
    DataFile* file = handle->file;
    BlockTag tag;
    readBlock(block, tag);
    handles_.erase(tag.id);
    clearBlock(block);
    if (--file->users == 0) std::erase_if(files_, [&](const auto& f) { return f.get() == file; });
}

void Engine::closeAll() {
    handles_.clear();
    files_.clear();
}

}  // namespace wbtrv
