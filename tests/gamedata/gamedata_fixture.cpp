#include "gamedata_fixture.h"

#include <stdlib.h>

#include <array>
#include <cstring>

#include <wbtrv32/btrieve.h>

namespace gamedata::test {

ReadBack readAll(const std::filesystem::path& file, std::uint32_t recordLength) {
    ReadBack result;
    std::array<std::uint8_t, BTR_POSITION_BLOCK_SIZE> position{};
    std::array<char, BTR_MAX_KEY_LENGTH> key{};
    const std::string name = file.string();
    std::memcpy(key.data(), name.c_str(), std::min(name.size() + 1, key.size() - 1));
    std::uint32_t length = 0;
    result.status = BTRCALL(B_OPEN, position.data(), nullptr, &length, key.data(), key.size(), B_MODE_READ_ONLY);
    if (result.status != B_NO_ERROR) return result;
    for (std::uint16_t op = B_GET_FIRST;; op = B_GET_NEXT) {
        Bytes record(recordLength + 16);  // room to see a record longer than announced
        length = static_cast<std::uint32_t>(record.size());
        const std::int16_t status = BTRCALL(op, position.data(), record.data(), &length, key.data(), key.size(), 0);
        if (status == B_END_OF_FILE) break;
        if (status != B_NO_ERROR) {
            result.status = status;
            break;
        }
        record.resize(std::min<std::size_t>(length, record.size()));
        result.lengths.push_back(length);
        result.records.push_back(std::move(record));
    }
    length = 0;
    const std::int16_t closed = BTRCALL(B_CLOSE, position.data(), nullptr, &length, nullptr, 0, 0);
    if (result.status == B_NO_ERROR) result.status = closed;
    return result;
}

DemoFolderTest::DemoFolderTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "gamedata-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    dir_ = pattern;
}

DemoFolderTest::~DemoFolderTest() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::filesystem::path DemoFolderTest::subfolder(const std::string& name) const {
    const auto path = dir_ / name;
    std::filesystem::create_directories(path);
    return path;
}

}  // namespace gamedata::test
