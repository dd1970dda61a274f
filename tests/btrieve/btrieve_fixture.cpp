#include "btrieve_fixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace btrieve_test {

Bytes createBuffer(std::uint16_t recordLength, const std::vector<KeySpec>& keys, std::uint16_t pageSize) {
    wbtrv::CreateSpec spec;
    spec.recordLength = recordLength;
    spec.pageSize = pageSize;
    for (const KeySpec& k : keys)
        spec.keys.push_back(
            {{k.position, k.length, static_cast<std::uint16_t>(k.flags | B_KEY_EXTENDED_TYPE), k.type, k.nullValue}});
    return wbtrv::buildCreateBuffer(spec);
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

std::int16_t verify(const std::string& path, std::string& message) {
    char text[512] = {};
    const std::int16_t status = BTRVERIFY(path.c_str(), text, sizeof text);
    message = text;
    return status;
}

void putInt(Bytes& record, std::size_t offset, std::size_t length, std::int64_t value) {
    wbtrv::writeLittleEndian(record.data() + offset, length, static_cast<std::uint64_t>(value));
}

std::int64_t getInt(const Bytes& record, std::size_t offset, std::size_t length, bool isSigned) {
    return isSigned ? wbtrv::readSignedLittleEndian(record.data() + offset, length)
                    : static_cast<std::int64_t>(wbtrv::readLittleEndian(record.data() + offset, length));
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
