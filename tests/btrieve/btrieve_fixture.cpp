#include "btrieve_fixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace btrieve_test {

Bytes createBuffer(std::uint16_t recordLength, const std::vector<KeySpec>& keys, std::uint16_t pageSize) {
    Bytes b(BTR_FILE_SPEC_SIZE + keys.size() * BTR_KEY_SPEC_SIZE, 0);
    putInt(b, 0, 2, recordLength);
    putInt(b, 2, 2, pageSize);
    putInt(b, 4, 2, static_cast<std::int64_t>(keys.size()));
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const std::size_t at = BTR_FILE_SPEC_SIZE + k * BTR_KEY_SPEC_SIZE;
        putInt(b, at, 2, keys[k].position);
        putInt(b, at + 2, 2, keys[k].length);
        putInt(b, at + 4, 2, keys[k].flags | B_KEY_EXTENDED_TYPE);
        b[at + 10] = keys[k].type;
        b[at + 11] = keys[k].nullValue;
    }
    return b;
}

std::int16_t createFile(const std::string& path, const Bytes& buffer, std::int8_t mode) {
    Bytes data = buffer;
    std::uint32_t length = static_cast<std::uint32_t>(data.size());
    Bytes name(path.begin(), path.end());
    name.push_back(0);
    Block block{};
    return BTRCALL(B_CREATE, block.data(), data.data(), &length, name.data(), static_cast<std::uint8_t>(name.size()),
                   mode);
}

std::int16_t openFile(Block& block, const std::string& path, std::int8_t mode) {
    Bytes name(path.begin(), path.end());
    name.push_back(0);
    std::uint32_t length = 0;
    return BTRCALL(B_OPEN, block.data(), nullptr, &length, name.data(), static_cast<std::uint8_t>(name.size()), mode);
}

std::int16_t Call::run(std::uint16_t operation, Block& block, std::int8_t keyNumber) {
    length = static_cast<std::uint32_t>(data.size());
    return BTRCALL(operation, block.data(), data.data(), &length, key.data(), static_cast<std::uint8_t>(key.size()),
                   keyNumber);
}

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<Bytes> readAll(Block& block, std::int16_t& status) {
    std::vector<Bytes> found;
    Call call{Bytes(Standard::recordLength)};
    for (status = call.run(B_GET_FIRST, block, 0); status == B_NO_ERROR; status = call.run(B_GET_NEXT, block, 0))
        found.push_back(call.data);
    if (status == B_END_OF_FILE) status = B_NO_ERROR;
    return found;
}

int trials(int fallback) {
    const char* text = std::getenv("BTRIEVE_TRIALS");
    return text && *text ? std::atoi(text) : fallback;
}

std::int16_t verify(const std::string& path, std::string& message) {
    char text[512] = {};
    const std::int16_t status = BTRVERIFY(path.c_str(), text, sizeof text);
    message = text;
    return status;
}

void putInt(Bytes& record, std::size_t offset, std::size_t length, std::int64_t value) {
    auto v = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < length; ++i, v >>= 8) record[offset + i] = static_cast<std::uint8_t>(v);
}

std::int64_t getInt(const Bytes& record, std::size_t offset, std::size_t length, bool isSigned) {
    std::uint64_t v = 0;
    for (std::size_t i = length; i-- > 0;) v = (v << 8) | record[offset + i];
    if (isSigned && length < 8 && (v >> (8 * length - 1)) & 1) v |= ~std::uint64_t{0} << (8 * length);
    return static_cast<std::int64_t>(v);
}

Bytes Standard::createBuffer() {
    return btrieve_test::createBuffer(recordLength, {
                                                        {1, 4, 0, B_TYPE_AUTOINCREMENT},
                                                        {5, 2, B_KEY_DUPLICATES | B_KEY_MODIFIABLE, B_TYPE_INTEGER},
                                                        {7, 4, B_KEY_MODIFIABLE, B_TYPE_UNSIGNED_BINARY},
                                                    });
}

Bytes Standard::record(std::int32_t id, std::int16_t group, std::uint32_t code, std::uint8_t fill) {
    Bytes r(recordLength, fill);
    putInt(r, 0, 4, id);
    putInt(r, 4, 2, group);
    putInt(r, 6, 4, code);
    return r;
}

void BtrieveTest::SetUp() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/btrieve-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
}

void BtrieveTest::TearDown() {
    Block block{};
    BTRCALL(B_RESET, block.data(), nullptr, nullptr, nullptr, 0, 0);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void BtrieveTest::openStandard(Block& block, const std::string& name) {
    ASSERT_EQ(createFile(path(name), Standard::createBuffer()), B_NO_ERROR);
    ASSERT_EQ(openFile(block, path(name)), B_NO_ERROR);
}

}  // namespace btrieve_test
