// An autoincrement key filled to its end: an Insert with 0 takes the key's largest
// value while one is left, and once the largest value is taken the next such Insert
// answers 5 and leaves the file as it was, for both widths of the key.
#include "btrieve_fixture.h"

namespace btrieve_test {
namespace {

TEST_P(EngineTest, AnAutoincrementKeyAtItsEndRefusesTheNextValue) {
    constexpr std::uint16_t kLength = 8;
    for (const auto& [width, largest] : {std::pair<std::uint16_t, std::int64_t>{2, 32767}, {4, 2147483647}}) {
        SCOPED_TRACE(testing::Message() << width << "-byte key");
        const std::string name = path("end" + std::to_string(width) + ".dat");
        ASSERT_EQ(createFile(name, createBuffer(kLength, {{1, width, 0, B_TYPE_AUTOINCREMENT}})), B_NO_ERROR);
        Block block{};
        ASSERT_EQ(openFile(block, name), B_NO_ERROR);
        const auto record = [&](std::int64_t value) {
            Bytes r(kLength, 0x5A);
            putInt(r, 0, width, value);
            return r;
        };
        Call insert{record(largest - 1)};
        ASSERT_EQ(insert.run(B_INSERT, block, 0), B_NO_ERROR);
        insert.data = record(0);
        ASSERT_EQ(insert.run(B_INSERT, block, 0), B_NO_ERROR);
        EXPECT_EQ(insert.data, record(largest)) << "the last value of the key is given";
        std::int16_t status = -1;
        const std::vector<Bytes> full = readAll(block, status, kLength);
        ASSERT_EQ(full, (std::vector<Bytes>{record(largest - 1), record(largest)}));

        insert.data = record(0);
        EXPECT_EQ(insert.run(B_INSERT, block, 0), B_DUPLICATE_KEY_VALUE);
        EXPECT_EQ(readAll(block, status, kLength), full);
        EXPECT_EQ(status, B_NO_ERROR);
    }
}

}  // namespace
}  // namespace btrieve_test
