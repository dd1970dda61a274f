// Owner names, added and dropped keys, percentages and the record manager's
// current directory.
#include "file_buffers.h"

#include <wbtrv32/bytes.h>

#include <algorithm>

namespace wbtrv::client {
namespace {

// Set in Create Index's and Drop Index's key number: the numbers are the caller's.
constexpr std::int8_t kNumbersKept = -128;

}  // namespace

Status File::setOwner(std::string_view owner, OwnerAccess access) {
    if (!buffers_) return B_FILE_NOT_OPEN;
    if (owner.size() >= buffers_->key.size()) return B_INVALID_OWNER;
    // The name twice, zero-terminated: in the key buffer and in the data buffer.
    buffers_->key.fill(0);
    std::copy(owner.begin(), owner.end(), buffers_->key.begin());
    std::copy(owner.begin(), owner.end(), buffers_->data.begin());
    buffers_->data[owner.size()] = 0;
    return write(B_SET_OWNER, static_cast<std::uint32_t>(owner.size() + 1), static_cast<std::int8_t>(access));
}

Status File::clearOwner() {
    std::uint32_t length = 0;
    return call(B_CLEAR_OWNER, nullptr, length, 0, 0);
}

Status File::createIndex(const KeySegments& segments, std::optional<std::uint8_t> number,
                         const CollatingSequence* sequence) {
    // The key's entries as a Create buffer of this one key holds them, without the file's entry.
    CreateEntries entries;
    entries.keys.push_back(segments);
    for (SegmentEntry& segment : entries.keys.back()) segment.keyNumber = number.value_or(0);
    if (sequence) entries.sequences.push_back(*sequence);
    std::vector<std::uint8_t> buffer = buildCreateBuffer(entries);
    buffer.erase(buffer.begin(), buffer.begin() + BTR_FILE_ENTRY_SIZE);
    auto length = static_cast<std::uint32_t>(buffer.size());
    return call(B_CREATE_INDEX, buffer.data(), length, 0, number ? kNumbersKept : 0);
}

Status File::dropIndex(std::uint8_t key, bool keepNumbers) {
    std::uint32_t length = 0;
    return call(B_DROP_INDEX, nullptr, length, 0, static_cast<std::int8_t>(keepNumbers ? key | 0x80 : key));
}

Status File::getByPercentage(std::uint16_t percentage, std::int8_t key, Lock lock) {
    if (!buffers_) return B_FILE_NOT_OPEN;
    writeLittleEndian(buffers_->data.data(), 2, percentage);
    return read(withLock(B_GET_BY_PERCENTAGE, lock), BTR_MAX_KEY_LENGTH, key);
}

Status File::findPercentage(std::int8_t key, std::span<const std::uint8_t> value, std::uint32_t& percentage) {
    if (!buffers_) return B_FILE_NOT_OPEN;
    const std::size_t length = std::min(value.size(), buffers_->key.size());
    std::copy_n(value.begin(), length, buffers_->key.begin());
    std::array<std::uint8_t, 4> answer{};
    std::uint32_t answerLength = answer.size();
    const Status status = call(B_FIND_PERCENTAGE, answer.data(), answerLength, static_cast<std::uint8_t>(length), key);
    percentage = status == B_NO_ERROR ? static_cast<std::uint32_t>(readLittleEndian(answer.data(), answer.size())) : 0;
    return status;
}

Status File::findPercentage(const Position& position, std::uint32_t& percentage) {
    std::array<std::uint8_t, 4> answer = position;
    std::uint32_t answerLength = answer.size();
    const Status status = call(B_FIND_PERCENTAGE, answer.data(), answerLength, 0, -1);
    percentage = status == B_NO_ERROR ? static_cast<std::uint32_t>(readLittleEndian(answer.data(), answer.size())) : 0;
    return status;
}

Status setDirectory(std::string_view path) {
    std::array<char, BTR_MAX_KEY_LENGTH> key{};
    if (path.size() >= key.size()) return B_INVALID_FILE_NAME;
    std::copy(path.begin(), path.end(), key.begin());
    return BTRCALL(B_SET_DIRECTORY, nullptr, nullptr, nullptr, key.data(), BTR_MAX_KEY_LENGTH, 0);
}

Status getDirectory(std::string& path) {
    std::array<char, BTR_MAX_KEY_LENGTH> key{};
    const Status status = BTRCALL(B_GET_DIRECTORY, nullptr, nullptr, nullptr, key.data(), BTR_MAX_KEY_LENGTH, 0);
    path = status == B_NO_ERROR ? key.data() : "";
    return status;
}

}  // namespace wbtrv::client
