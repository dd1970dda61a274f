#include "data_file.h"

#include <algorithm>
#include <cstring>

namespace grimstore {
namespace {

// Larger than any record the record manager allows, so a read never fails
// for want of room and a record of a wrong length shows as such.
constexpr uint32_t kReadBufferSize = 65536;

// Stat answers with the file specification, up to 119 keys of many segments
// and their collating sequences.
constexpr uint32_t kStatBufferSize = 65536;

// Puts a zero-terminated file name into a key buffer; false when it does not fit.
bool putFileName(const std::string& name, std::array<uint8_t, BTR_MAX_KEY_LENGTH>& key) {
    if (name.size() + 1 > key.size()) return false;
    key.fill(0);
    std::memcpy(key.data(), name.data(), name.size());
    return true;
}

}  // namespace

DataFile::DataFile(std::string name) : name_(std::move(name)) {}

DataFile::~DataFile() {
    if (open_) close();
}

int16_t DataFile::call(uint16_t operation, void* data, uint32_t& length, int8_t key) {
    return BTRCALL(operation, position_.data(), data, &length, key_.data(), static_cast<uint8_t>(key_.size()), key);
}

int16_t DataFile::open(int8_t mode) {
    if (!putFileName(name_, key_)) return B_INVALID_FILE_NAME;
    uint32_t length = 0;
    const int16_t status = call(B_OPEN, nullptr, length, mode);
    open_ = status == B_NO_ERROR;
    return status;
}

int16_t DataFile::close() {
    uint32_t length = 0;
    const int16_t status = call(B_CLOSE, nullptr, length, 0);
    open_ = false;
    return status;
}

int16_t DataFile::stat(FileSpec& spec) {
    std::vector<uint8_t> buffer(kStatBufferSize);
    uint32_t length = kStatBufferSize;
    const int16_t status = call(B_STAT, buffer.data(), length, 0);
    if (status != B_NO_ERROR) return status;
    return static_cast<int16_t>(
        wbtrv::readCreateBuffer(std::span(buffer).first(std::min(length, kStatBufferSize)), spec));
}

int16_t DataFile::get(uint16_t operation, int8_t key, std::vector<uint8_t>& record) {
    record.resize(kReadBufferSize);
    uint32_t length = kReadBufferSize;
    const int16_t status = call(operation, record.data(), length, key);
    record.resize(status == B_NO_ERROR ? std::min(length, kReadBufferSize) : 0);
    return status;
}

int16_t DataFile::getFirst(int8_t key, std::vector<uint8_t>& record) { return get(B_GET_FIRST, key, record); }

int16_t DataFile::getNext(int8_t key, std::vector<uint8_t>& record) { return get(B_GET_NEXT, key, record); }

int16_t DataFile::insert(std::span<uint8_t> record) {
    uint32_t length = static_cast<uint32_t>(record.size());
    return call(B_INSERT, record.data(), length, 0);
}

int16_t DataFile::erase() {
    uint32_t length = 0;
    return call(B_DELETE, nullptr, length, 0);
}

int16_t transactionCall(uint16_t operation) { return BTRCALL(operation, nullptr, nullptr, nullptr, nullptr, 0, 0); }

int16_t createDataFile(const std::string& name, const FileSpec& spec, bool replace) {
    std::array<uint8_t, BTR_POSITION_BLOCK_SIZE> position{};
    std::array<uint8_t, BTR_MAX_KEY_LENGTH> key{};
    if (!putFileName(name, key)) return B_INVALID_FILE_NAME;
    std::vector<uint8_t> buffer = wbtrv::buildCreateBuffer(spec);
    uint32_t length = static_cast<uint32_t>(buffer.size());
    return BTRCALL(B_CREATE, position.data(), buffer.data(), &length, key.data(), static_cast<uint8_t>(key.size()),
                   replace ? 0 : -1);
}

}  // namespace grimstore
