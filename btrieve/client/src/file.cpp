#include "file_buffers.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace wbtrv::client {
namespace {

// The longest answer Stat can give: 119 keys of 255 one-byte segments, and
// as many collating sequences as a key entry can number.
constexpr std::uint32_t kLongestStat =
    BTR_FILE_ENTRY_SIZE + 119 * BTR_MAX_KEY_LENGTH * BTR_KEY_ENTRY_SIZE + 256 * BTR_COLLATING_SEQUENCE_SIZE;

}  // namespace

std::uint16_t withLock(std::uint16_t operation, Lock lock) {
    return static_cast<std::uint16_t>(operation + static_cast<std::uint16_t>(lock));
}

File::File() : buffers_(std::make_unique<Buffers>()) {}

File::File(EntryPoint entryPoint) : buffers_(std::make_unique<Buffers>()) {
    buffers_->entryPoint = std::move(entryPoint);
}

File::~File() {
    if (open_) close();
}

File::File(File&& other) noexcept
    : buffers_(std::move(other.buffers_)),
      name_(std::move(other.name_)),
      recordLength_(std::exchange(other.recordLength_, 0)),
      open_(std::exchange(other.open_, false)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (open_) close();
        buffers_ = std::move(other.buffers_);
        name_ = std::move(other.name_);
        recordLength_ = std::exchange(other.recordLength_, 0);
        open_ = std::exchange(other.open_, false);
    }
    return *this;
}

Status File::call(std::uint16_t operation, void* data, std::uint32_t& dataLength, std::uint8_t keyLength,
                  std::int8_t key) {
    if (!buffers_) return B_FILE_NOT_OPEN;  // moved from
    return buffers_->entryPoint(operation, buffers_->position.data(), data, &dataLength, buffers_->key.data(),
                                keyLength, key);
}

Status File::read(std::uint16_t operation, std::uint8_t keyLength, std::int8_t key) {
    std::uint32_t length = kDataCapacity;
    const Status status = call(operation, buffers_ ? buffers_->data.data() : nullptr, length, keyLength, key);
    recordLength_ = status == B_NO_ERROR ? std::min(length, kDataCapacity) : 0;
    return status;
}

Status File::write(std::uint16_t operation, std::uint32_t length, std::int8_t key) {
    return call(operation, buffers_ ? buffers_->data.data() : nullptr, length, BTR_MAX_KEY_LENGTH, key);
}

Status File::open(std::string_view name, OpenMode mode, std::string_view owner) {
    if (open_) {
        if (const Status status = close(); status != B_NO_ERROR) return status;
    }
    if (!buffers_) buffers_ = std::make_unique<Buffers>();
    name_ = name;
    recordLength_ = 0;
    if (name.size() >= buffers_->key.size()) return B_INVALID_FILE_NAME;
    buffers_->key.fill(0);
    std::copy(name.begin(), name.end(), buffers_->key.begin());
    // The owner name, zero-terminated; none: an empty data buffer.
    if (owner.size() >= buffers_->data.size()) return B_INVALID_OWNER;
    std::copy(owner.begin(), owner.end(), buffers_->data.begin());
    buffers_->data[owner.size()] = 0;
    const Status status = write(B_OPEN, static_cast<std::uint32_t>(owner.size()), static_cast<std::int8_t>(mode));
    open_ = status == B_NO_ERROR;
    return status;
}

Status File::close() {
    std::uint32_t length = 0;
    const Status status = call(B_CLOSE, nullptr, length, 0, 0);
    open_ = false;
    return status;
}

Status File::stat(CreateEntries& entries) {
    std::vector<std::uint8_t> answer;
    std::uint32_t length = kDataCapacity;
    Status status = call(B_STAT, buffers_ ? buffers_->data.data() : nullptr, length, 0, 0);
    std::span<const std::uint8_t> bytes;
    if (status == B_DATA_BUFFER_TOO_SHORT && buffers_) {
        answer.resize(kLongestStat);
        length = kLongestStat;
        status = call(B_STAT, answer.data(), length, 0, 0);
        bytes = std::span(answer).first(std::min(length, kLongestStat));
    } else if (status == B_NO_ERROR) {
        bytes = std::span(buffers_->data).first(std::min(length, kDataCapacity));
    }
    if (status != B_NO_ERROR) return status;
    return static_cast<Status>(readCreateBuffer(bytes, entries));
}

Status File::get(Move move, std::int8_t key, Lock lock) {
    return read(withLock(static_cast<std::uint16_t>(move), lock), BTR_MAX_KEY_LENGTH, key);
}

Status File::find(Find find, std::int8_t key, std::span<const std::uint8_t> value, Lock lock) {
    if (!buffers_) return B_FILE_NOT_OPEN;
    const std::size_t length = std::min(value.size(), buffers_->key.size());
    std::copy_n(value.begin(), length, buffers_->key.begin());
    return read(withLock(static_cast<std::uint16_t>(find), lock), static_cast<std::uint8_t>(length), key);
}

Status File::step(Step step, Lock lock) {
    return read(withLock(static_cast<std::uint16_t>(step), lock), BTR_MAX_KEY_LENGTH, 0);
}

Status File::getPosition(Position& position) {
    std::uint32_t length = position.size();
    return call(B_GET_POSITION, position.data(), length, BTR_MAX_KEY_LENGTH, 0);
}

Status File::getDirect(const Position& position, std::int8_t key, Lock lock) {
    if (!buffers_) return B_FILE_NOT_OPEN;
    std::copy(position.begin(), position.end(), buffers_->data.begin());
    return read(withLock(B_GET_DIRECT, lock), BTR_MAX_KEY_LENGTH, key);
}

std::span<const std::uint8_t> File::record() const {
    if (!buffers_) return {};
    return std::span(buffers_->data).first(recordLength_);
}

std::span<const std::uint8_t> File::keyBuffer() const {
    if (!buffers_) return {};
    return buffers_->key;
}

Status File::insert(std::span<std::uint8_t> record, std::int8_t key) {
    std::uint32_t length = static_cast<std::uint32_t>(record.size());
    return call(B_INSERT, record.data(), length, BTR_MAX_KEY_LENGTH, key);
}

Status File::update(std::span<const std::uint8_t> record, std::int8_t key) {
    if (!buffers_) return B_FILE_NOT_OPEN;
    if (record.size() > kMaxRecordLength) return B_INVALID_RECORD_LENGTH;
    // Through the handle's own buffer: the record manager takes a writable one.
    std::copy(record.begin(), record.end(), buffers_->data.begin());
    recordLength_ = 0;
    return write(B_UPDATE, static_cast<std::uint32_t>(record.size()), key);
}

Status File::remove() {
    std::uint32_t length = 0;
    return call(B_DELETE, nullptr, length, BTR_MAX_KEY_LENGTH, 0);
}

Status File::unlock() {
    std::uint32_t length = 0;
    return call(B_UNLOCK, nullptr, length, 0, 0);
}

Status File::unlock(const Position& position) {
    Position copy = position;
    std::uint32_t length = copy.size();
    return call(B_UNLOCK, copy.data(), length, 0, -1);
}

Status File::unlockAll() {
    std::uint32_t length = 0;
    return call(B_UNLOCK, nullptr, length, 0, -2);
}

}  // namespace wbtrv::client
