#include "operations/open_file.h"

#include "core/layout_checks.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace wbtrv {

// One write that the engine abandons unless it is committed. Inside the
// process's transaction it is one step of that transaction, undone alone
// when it fails.
class WriteScope {
public:
    explicit WriteScope(DataFile& file) : file_(file), own_(!file.inTransaction_), status_(file.beginWrite(own_)) {}
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;
    ~WriteScope() {
        if (status_ == B_NO_ERROR && !finished_) file_.abandonWrite(own_);
    }
    int began() const { return status_; }
    int commit() {
        finished_ = true;
        return file_.commitWrite(own_);
    }

private:
    DataFile& file_;
    bool own_;
    int status_;
    bool finished_ = false;
};

int DataFile::checkedRow(int status, std::size_t key, const Record& row, const KeyValue& stored) {
    if (status != B_NO_ERROR) return status;
    // A damaged record is refused where it is met: a short one would be read
    // past its end, and one whose key column disagrees with its bytes would
    // send a walk along the key round in circles (the order comes from the
    // column, the next position from the bytes).
    if (!storedLengthSound(row.data.size(), layout_.recordLength, layout_.variableLength)) return B_IO_ERROR;
    if (key == SIZE_MAX) return B_NO_ERROR;
    const KeyDefinition& k = layout_.keys[key];
    if (!k.fitsIn(row.data) || !k.valueFromRecord(row.data, fromBytes_) || stored != fromBytes_) return B_IO_ERROR;
    return B_NO_ERROR;
}

int DataFile::along(std::size_t key, KeyQuery which, const KeyValue& value, std::int64_t id, Record& out) {
    KeyValue stored;
    return checkedRow(fetchAlong(key, which, value, id, out, stored), key, out, stored);
}

int DataFile::seek(Seek how, std::size_t key, const KeyValue& value, std::int64_t id, Record& out) {
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
            if (layout_.keys[key].allowsDuplicates()) {
                const int status = along(key, next ? NextSame : PreviousSame, value, id, out);
                if (status != B_END_OF_FILE) return status;
            }
            return along(key, next ? Greater : Less, value, id, out);
        }
    }
    return B_IO_ERROR;
}

int DataFile::step(bool forward, std::int64_t id, Record& out) {
    return checkedRow(fetchRow(forward ? RowQuery::After : RowQuery::Before, id, out), SIZE_MAX, out, {});
}

int DataFile::read(std::int64_t id, Record& out) {
    const int status = checkedRow(fetchRow(RowQuery::Exact, id, out), SIZE_MAX, out, {});
    return status == B_END_OF_FILE ? B_INVALID_RECORD_ADDRESS : status;
}

int DataFile::keyValues(std::span<const std::uint8_t> record) {
    keys_.resize(layout_.keys.size());
    for (std::size_t k = 0; k < layout_.keys.size(); ++k)
        if (!layout_.keys[k].valueFromRecord(record, keys_[k])) return B_OPERATION_NOT_ALLOWED;
    return B_NO_ERROR;
}

int DataFile::insert(std::vector<std::uint8_t>& record, std::int64_t& id) {
    WriteScope write(*this);
    if (write.began() != B_NO_ERROR) return write.began();
    for (std::size_t k = 0; k < layout_.keys.size(); ++k) {
        const KeyDefinition& key = layout_.keys[k];
        const KeySegment& seg = key.first();
        if (!key.autoincrement() || readSignedLittleEndian(record.data() + seg.offset, seg.length) != 0) continue;
        std::int64_t highest = 0;
        if (const int status = highestValue(k, highest); status != B_NO_ERROR) return status;
        const std::int64_t value = std::max<std::int64_t>(highest, 0) + 1;
        // No value left in the key's range: the next one would repeat an existing one.
        if (value >= (std::int64_t{1} << (8 * key.length() - 1))) return B_DUPLICATE_KEY_VALUE;
        writeLittleEndian(record.data() + seg.offset, seg.length, static_cast<std::uint64_t>(value));
    }
    if (const int status = keyValues(record); status != B_NO_ERROR) return status;
    if (const int status = insertRow(record, keys_, id); status != B_NO_ERROR) return status;
    return write.commit();
}

int DataFile::matchesStored(std::int64_t id, std::span<const std::uint8_t> expected) {
    const int status = fetchRow(RowQuery::Exact, id, stored_);
    if (status == B_END_OF_FILE) return B_CONFLICT;
    if (status != B_NO_ERROR) return status;
    return std::ranges::equal(stored_.data, expected) ? B_NO_ERROR : B_CONFLICT;
}

int DataFile::update(std::int64_t id, std::span<const std::uint8_t> expected, std::span<const std::uint8_t> record) {
    int refused = B_NO_ERROR;
    for (const KeyDefinition& key : layout_.keys) {
        KeyValue before, after;
        if (!key.valueFromRecord(expected, before) || !key.valueFromRecord(record, after))
            refused = B_OPERATION_NOT_ALLOWED;
        else if (!key.modifiable() && before != after)
            refused = B_MODIFIABLE_KEY_VALUE_ERROR;
        if (refused != B_NO_ERROR) break;
    }
    // A record another process holds answers 84 before anything else is
    // looked at, and then one changed since it was read 80, before any
    // refusal of the new bytes.
    if ((refused != B_NO_ERROR || !writesRefuseHeldRecords()) && recordHeldElsewhere(id)) return B_RECORD_IN_USE;
    if (refused != B_NO_ERROR) {
        const int status = matchesStored(id, expected);
        return status != B_NO_ERROR ? status : refused;
    }
    WriteScope write(*this);
    if (write.began() != B_NO_ERROR) return write.began();
    if (const int status = keyValues(record); status != B_NO_ERROR) return status;
    if (const int status = updateRow(id, expected, record, keys_); status != B_NO_ERROR) return status;
    return write.commit();
}

int DataFile::remove(std::int64_t id, std::span<const std::uint8_t> expected) {
    if (!writesRefuseHeldRecords() && recordHeldElsewhere(id)) return B_RECORD_IN_USE;
    WriteScope write(*this);
    if (write.began() != B_NO_ERROR) return write.began();
    if (const int status = deleteRow(id, expected); status != B_NO_ERROR) return status;
    return write.commit();
}

int DataFile::lockRecord(std::int64_t id, bool wait) {
    if (const auto it = heldRecords_.find(id); it != heldRecords_.end()) {
        ++it->second;
        return B_NO_ERROR;
    }
    // How long a wait lock waits for another process before answering 84.
    constexpr auto kLockWait = std::chrono::seconds(1);
    constexpr auto kLockRetry = std::chrono::milliseconds(5);
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    int status = tryLockRecord(id);
    bool announced = false;
    while (status == B_RECORD_IN_USE && wait && std::chrono::steady_clock::now() < deadline) {
        if (!announced) announceWait(id, true);
        announced = true;
        if (wouldDeadlock(id)) {
            status = B_DEADLOCK;
            break;
        }
        std::this_thread::sleep_for(kLockRetry);
        status = tryLockRecord(id);
    }
    if (announced) announceWait(id, false);
    if (status == B_NO_ERROR) heldRecords_[id] = 1;
    return status;
}

bool DataFile::wouldDeadlock(std::int64_t id) {
    // Deadlock circles longer than this end in the wait's timeout instead.
    constexpr int kMaxChain = 16;
    for (int link = 0; link < kMaxChain; ++link) {
        const std::optional<std::int64_t> holder = recordHolder(id);
        if (!holder) return false;
        const std::optional<std::int64_t> awaited = awaitedBy(*holder);
        if (!awaited) return false;
        if (heldRecords_.contains(*awaited)) return true;
        id = *awaited;
    }
    return false;
}

void DataFile::releaseRecord(std::int64_t id) {
    const auto it = heldRecords_.find(id);
    if (it == heldRecords_.end() || it->second == 0 || --it->second > 0 || inTransaction_) return;
    heldRecords_.erase(it);
    unlockRecord(id);
}

// The transaction's write already holds the file against other writers, so
// a lock another process took on the record since is no reason to fail it.
void DataFile::keepChanged(std::int64_t id) {
    if (!inTransaction_ || heldRecords_.contains(id)) return;
    if (tryLockRecord(id) == B_NO_ERROR) heldRecords_[id] = 0;
}

int DataFile::finishTransaction(bool commit) {
    const int status = finishWrites(commit);
    inTransaction_ = false;
    // The locks kept for the transaction that no block holds are dropped.
    for (auto it = heldRecords_.begin(); it != heldRecords_.end();) {
        if (it->second > 0) {
            ++it;
            continue;
        }
        unlockRecord(it->first);
        it = heldRecords_.erase(it);
    }
    return status;
}

}  // namespace wbtrv
