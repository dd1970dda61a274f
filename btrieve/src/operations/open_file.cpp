#include "operations/open_file.h"

#include "core/layout_checks.h"

#include <wbtrv32/btrieve.h>

#include <chrono>
#include <thread>

namespace wbtrv {

OpenFile::OpenFile(std::string path, bool exclusive, std::unique_ptr<StoredFile> stored)
    : path_(std::move(path)), exclusive_(exclusive), stored_(std::move(stored)) {}

OpenFile::~OpenFile() {
    for (const auto& [id, blocks] : heldRecords_) stored_->unlockRecord(id);
}

int OpenFile::checkedRow(int status, std::size_t key, const Record& row, const KeyValue& stored) {
    if (status != B_NO_ERROR) return status;
    // A damaged record is refused where it is met: a short one would be read
    // past its end, and one whose key column disagrees with its bytes would
    // send a walk along the key round in circles (the order comes from the
    // column, the next position from the bytes).
    const FileLayout& layout = this->layout();
    if (!storedLengthSound(row.data.size(), layout.recordLength, layout.variableLength)) return B_IO_ERROR;
    if (key == SIZE_MAX) return B_NO_ERROR;
    const KeyDefinition& k = layout.keys[key];
    if (!k.fitsIn(row.data) || !k.valueFromRecord(row.data, fromBytes_) || stored != fromBytes_) return B_IO_ERROR;
    return B_NO_ERROR;
}

int OpenFile::along(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out) {
    KeyValue stored;
    return checkedRow(stored_->readAlong(key, which, value, id, out, stored), key, out, stored);
}

int OpenFile::seek(Seek how, std::size_t key, const KeyValue& value, std::int64_t id, Record& out) {
    using enum KeyQuery;
    // A null key value has no place in the key's order: nothing is near it.
    if (how != Seek::First && how != Seek::Last && value.null) return B_END_OF_FILE;
    switch (how) {
        case Seek::First:
            return along(key, First, value, id, out);
        case Seek::Last:
            return along(key, Last, value, id, out);
        case Seek::Equal: {
            const int status = along(key, Equal, value, id, out);
            return status == B_END_OF_FILE ? B_KEY_VALUE_NOT_FOUND : status;
        }
        case Seek::Greater:
            return along(key, Greater, value, id, out);
        case Seek::GreaterOrEqual:
            return along(key, GreaterOrEqual, value, id, out);
        case Seek::Less:
            return along(key, Less, value, id, out);
        case Seek::LessOrEqual:
            return along(key, LessOrEqual, value, id, out);
        case Seek::Next:
        case Seek::Previous: {
            const bool next = how == Seek::Next;
            if (layout().keys[key].allowsDuplicates()) {
                const int status = along(key, next ? NextSame : PreviousSame, value, id, out);
                if (status != B_END_OF_FILE) return status;
            }
            return along(key, next ? Greater : Less, value, id, out);
        }
    }
    return B_IO_ERROR;
}

int OpenFile::step(bool forward, std::int64_t id, Record& out) {
    return checkedRow(stored_->readAt(forward ? RowQuery::After : RowQuery::Before, id, out), SIZE_MAX, out, {});
}

int OpenFile::read(std::int64_t id, Record& out) {
    const int status = checkedRow(stored_->readAt(RowQuery::Exact, id, out), SIZE_MAX, out, {});
    return status == B_END_OF_FILE ? B_INVALID_RECORD_ADDRESS : status;
}

int OpenFile::readAtRank(std::size_t key, std::uint64_t rank, Record& out) {
    KeyValue stored;
    return checkedRow(stored_->readAtRank(key, rank, out, stored), key, out, stored);
}

int OpenFile::update(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record) {
    using Write = CompareAndWrite::Write;
    const auto& keys = layout().keys;
    keys_.assign(keys.size(), KeyValue{});
    int refused = B_NO_ERROR;
    for (std::size_t k = 0; k < keys.size() && refused == B_NO_ERROR; ++k) {
        if (keys[k].absent()) continue;
        KeyValue before;
        if (!keys[k].valueFromRecord(expected, before) || !keys[k].valueFromRecord(record, keys_[k]))
            refused = B_OPERATION_NOT_ALLOWED;
        else if (!keys[k].modifiable() && before != keys_[k])
            refused = B_MODIFIABLE_KEY_VALUE_ERROR;
    }
    // A record another process holds, or one changed since it was read,
    // answers so before any refusal of the new bytes.
    if (refused != B_NO_ERROR) {
        const int status = stored_->compareAndWrite({Write::Nothing, id, expected, {}, {}});
        return status != B_NO_ERROR ? status : refused;
    }
    return stored_->compareAndWrite({Write::Update, id, expected, record, keys_});
}

int OpenFile::remove(std::int64_t id, std::span<const std::uint8_t> expected) {
    return stored_->compareAndWrite({CompareAndWrite::Write::Delete, id, expected, {}, {}});
}

int OpenFile::lockRecord(std::int64_t id, bool wait) {
    if (const auto it = heldRecords_.find(id); it != heldRecords_.end()) {
        ++it->second;
        return B_NO_ERROR;
    }
    // How long a wait lock waits for another process before answering 84.
    constexpr auto kLockWait = std::chrono::seconds(1);
    constexpr auto kLockRetry = std::chrono::milliseconds(5);
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    int status = stored_->tryLockRecord(id);
    bool announced = false;
    while (status == B_RECORD_IN_USE && wait && std::chrono::steady_clock::now() < deadline) {
        if (!announced) stored_->announceWait(id, true);
        announced = true;
        if (wouldDeadlock(id)) {
            status = B_DEADLOCK;
            break;
        }
        std::this_thread::sleep_for(kLockRetry);
        status = stored_->tryLockRecord(id);
    }
    if (announced) stored_->announceWait(id, false);
    if (status == B_NO_ERROR) heldRecords_[id] = 1;
    return status;
}

bool OpenFile::wouldDeadlock(std::int64_t id) {
    // Deadlock circles longer than this end in the wait's timeout instead.
    constexpr int kMaxChain = 16;
    for (int link = 0; link < kMaxChain; ++link) {
        const std::optional<std::int64_t> holder = stored_->recordHolder(id);
        if (!holder) return false;
        const std::optional<std::int64_t> awaited = stored_->awaitedBy(*holder);
        if (!awaited) return false;
        if (heldRecords_.contains(*awaited)) return true;
        id = *awaited;
    }
    return false;
}

void OpenFile::releaseRecord(std::int64_t id) {
    const auto it = heldRecords_.find(id);
    if (it == heldRecords_.end() || it->second == 0 || --it->second > 0 || stored_->inTransaction()) return;
    heldRecords_.erase(it);
    stored_->unlockRecord(id);
}

// The transaction's write already holds the file against other writers, so
// a lock another process took on the record since is no reason to fail it.
void OpenFile::keepChanged(std::int64_t id) {
    if (!stored_->inTransaction() || heldRecords_.contains(id)) return;
    if (stored_->tryLockRecord(id) == B_NO_ERROR) heldRecords_[id] = 0;
}

int OpenFile::finishTransaction(bool commit) {
    const int status = stored_->endTransaction(commit);
    // The locks kept for the transaction that no block holds are dropped.
    for (auto it = heldRecords_.begin(); it != heldRecords_.end();) {
        if (it->second > 0) {
            ++it;
            continue;
        }
        stored_->unlockRecord(it->first);
        it = heldRecords_.erase(it);
    }
    return status;
}

}  // namespace wbtrv
