// What the model-based test cannot reach: other key layouts and types, open
// modes, Stop / Reset with a transaction open, and files made by other programs.
// Single-step operation sequences on the standard layout are left to the model.
#include "btrieve_fixture.h"

#include <sqlite3.h>

#include <algorithm>
#include <random>

namespace btrieve_test {
namespace {

// Every integer key type and length keeps the numeric order of its values.
struct IntegerKey {
    std::uint8_t type;
    std::uint16_t length;
    std::vector<std::int64_t> sorted;  // values as the type reads them, ascending
};

class IntegerKeys : public BtrieveTest, public ::testing::WithParamInterface<IntegerKey> {};

TEST_P(IntegerKeys, ComeBackInNumericOrder) {
    const IntegerKey& k = GetParam();
    const std::uint16_t recordLength = 12;
    ASSERT_EQ(createFile(path("ints.dat"), createBuffer(recordLength, {{3, k.length, 0, k.type}})), B_NO_ERROR);
    Block block{};
    ASSERT_EQ(openFile(block, path("ints.dat")), B_NO_ERROR);
    std::vector<std::int64_t> shuffled = k.sorted;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    for (std::int64_t v : shuffled) {
        Call call{Bytes(recordLength, 0xEE)};
        putInt(call.data, 2, k.length, v);
        ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR) << v;
    }
    const bool isSigned = k.type != B_TYPE_UNSIGNED_BINARY;
    Call call{Bytes(recordLength)};
    std::uint16_t op = B_GET_FIRST;
    for (std::int64_t v : k.sorted) {
        ASSERT_EQ(call.run(op, block, 0), B_NO_ERROR);
        EXPECT_EQ(getInt(call.data, 2, k.length, isSigned), v);
        op = B_GET_NEXT;
    }
    EXPECT_EQ(call.run(B_GET_NEXT, block, 0), B_END_OF_FILE);
    std::string message;
    EXPECT_EQ(verify(path("ints.dat"), message), B_NO_ERROR) << message;
}

INSTANTIATE_TEST_SUITE_P(Btrieve, IntegerKeys,
                         ::testing::Values(IntegerKey{B_TYPE_INTEGER, 1, {-128, -1, 0, 1, 127}},
                                           IntegerKey{B_TYPE_INTEGER, 2, {-32768, -256, -1, 0, 255, 32767}},
                                           IntegerKey{B_TYPE_INTEGER, 4, {INT32_MIN, -70000, -1, 0, 65536, INT32_MAX}},
                                           IntegerKey{B_TYPE_INTEGER, 8, {INT64_MIN, -(1LL << 40), -1, 0, INT64_MAX}},
                                           IntegerKey{B_TYPE_UNSIGNED_BINARY, 1, {0, 1, 127, 128, 255}},
                                           IntegerKey{B_TYPE_UNSIGNED_BINARY, 2, {0, 255, 256, 32768, 65535}},
                                           IntegerKey{
                                               B_TYPE_UNSIGNED_BINARY, 4, {0, 1, 0x7fffffff, 0x80000000, 0xffffffff}},
                                           IntegerKey{B_TYPE_UNSIGNED_BINARY, 8, {0, 1, 1LL << 40, INT64_MAX}},
                                           IntegerKey{B_TYPE_AUTOINCREMENT, 2, {-5, 1, 2, 32767}},
                                           IntegerKey{B_TYPE_AUTOINCREMENT, 4, {-5, 1, 2, INT32_MAX}}),
                         [](const auto& info) {
                             return "type" + std::to_string(info.param.type) + "_" + std::to_string(info.param.length) +
                                    "bytes";
                         });

TEST_F(BtrieveTest, UnsignedValuesBeyondTheSignedRangeAreRefusedNotMisordered) {
    ASSERT_EQ(createFile(path("u8.dat"), createBuffer(8, {{1, 8, 0, B_TYPE_UNSIGNED_BINARY}})), B_NO_ERROR);
    Block block{};
    ASSERT_EQ(openFile(block, path("u8.dat")), B_NO_ERROR);
    Call call{Bytes(8, 0xFF)};
    EXPECT_EQ(call.run(B_INSERT, block, 0), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(call.run(B_GET_EQUAL, block, 0), B_KEY_VALUE_NOT_FOUND);
}

TEST_F(BtrieveTest, RecordsWithANullKeyAreLeftOutOfThatKey) {
    ASSERT_EQ(createFile(path("null.dat"),
                         createBuffer(8, {{1, 2, 0, B_TYPE_AUTOINCREMENT},
                                          {3, 2, B_KEY_NULL_ALL | B_KEY_DUPLICATES, B_TYPE_INTEGER, 0xFF}})),
              B_NO_ERROR);
    Block block{};
    ASSERT_EQ(openFile(block, path("null.dat")), B_NO_ERROR);
    for (std::int64_t v : {-1LL, 5LL, -1LL, 3LL}) {  // -1 is all 0xFF bytes: the null value
        Call call{Bytes(8, 0)};
        putInt(call.data, 2, 2, v);
        ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    }
    Call call{Bytes(8)};
    ASSERT_EQ(call.run(B_GET_FIRST, block, 1), B_NO_ERROR);
    EXPECT_EQ(getInt(call.data, 2, 2), 3);
    ASSERT_EQ(call.run(B_GET_NEXT, block, 1), B_NO_ERROR);
    EXPECT_EQ(getInt(call.data, 2, 2), 5);
    EXPECT_EQ(call.run(B_GET_NEXT, block, 1), B_END_OF_FILE);
    ASSERT_EQ(call.run(B_GET_LAST, block, 0), B_NO_ERROR);
    EXPECT_EQ(getInt(call.data, 0, 2), 4);
    std::string message;
    EXPECT_EQ(verify(path("null.dat"), message), B_NO_ERROR) << message;
}

TEST_F(BtrieveTest, OpenModesReadOnlyAndExclusive) {
    Block normal{}, readOnly{}, exclusive{};
    openStandard(normal);
    ASSERT_EQ(openFile(readOnly, path("standard.dat"), B_MODE_READ_ONLY), B_NO_ERROR);
    Call call{Standard::record(0, 1, 1)};
    EXPECT_EQ(call.run(B_INSERT, readOnly, 0), B_ACCESS_DENIED);
    ASSERT_EQ(call.run(B_INSERT, normal, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST, readOnly, 0), B_NO_ERROR);
    EXPECT_EQ(call.run(B_UPDATE, readOnly, 0), B_ACCESS_DENIED);
    EXPECT_EQ(call.run(B_DELETE, readOnly, 0), B_ACCESS_DENIED);

    EXPECT_EQ(openFile(exclusive, path("standard.dat"), B_MODE_EXCLUSIVE), B_FILE_IN_USE);
    ASSERT_EQ(call.run(B_CLOSE, normal, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_CLOSE, readOnly, 0), B_NO_ERROR);
    ASSERT_EQ(openFile(exclusive, path("standard.dat"), B_MODE_EXCLUSIVE), B_NO_ERROR);
    EXPECT_EQ(openFile(normal, path("standard.dat")), B_FILE_IN_USE);
    EXPECT_EQ(createFile(path("standard.dat"), Standard::createBuffer()), B_FILE_IN_USE);
    ASSERT_EQ(call.run(B_GET_FIRST, exclusive, 0), B_NO_ERROR);
    EXPECT_EQ(call.run(B_CLOSE, exclusive, 0), B_NO_ERROR);
    EXPECT_EQ(openFile(normal, path("standard.dat")), B_NO_ERROR);
}

TEST_F(BtrieveTest, StopAndResetAbortTheTransactionAndCloseEverything) {
    for (std::uint16_t op : {B_STOP, B_RESET}) {
        Block a{}, b{};
        const std::string name = "f" + std::to_string(op) + ".dat";
        openStandard(a, name);
        ASSERT_EQ(openFile(b, path(name)), B_NO_ERROR);
        Call call{Standard::record(0, 1, 1)};
        ASSERT_EQ(call.run(B_INSERT, a, 0), B_NO_ERROR);
        ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
        call.data = Standard::record(0, 2, 2);
        ASSERT_EQ(call.run(B_INSERT, a, 0), B_NO_ERROR);
        EXPECT_EQ(call.run(B_CLOSE, b, 0), B_OPERATION_NOT_ALLOWED) << "the file holds the transaction's insert";
        ASSERT_EQ(BTRCALL(op, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
        EXPECT_EQ(call.run(B_GET_FIRST, a, 0), B_FILE_NOT_OPEN);
        EXPECT_EQ(call.run(B_GET_FIRST, b, 0), B_FILE_NOT_OPEN);
        EXPECT_EQ(BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_TRANSACTION);
        ASSERT_EQ(openFile(a, path(name), B_MODE_EXCLUSIVE), B_NO_ERROR);
        EXPECT_EQ(call.run(B_GET_FIRST, a, 0), B_NO_ERROR);
        EXPECT_EQ(call.run(B_GET_NEXT, a, 0), B_END_OF_FILE) << "the insert inside the transaction was undone";
    }
}

// A file made elsewhere with a string key: readable along its integer key,
// refused along the string key and for every write.
TEST_F(BtrieveTest, FilesWithKeyTypesWeDoNotHandleAreReadOnlyAlongIntegerKeys) {
    ASSERT_EQ(createFile(path("mixed.dat"), createBuffer(8, {{1, 2, 0, B_TYPE_INTEGER}, {3, 2, 0, B_TYPE_INTEGER}})),
              B_NO_ERROR);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path("mixed.dat").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "UPDATE keys_t SET data_type = 0 WHERE number = 1;"
                           "INSERT INTO data_t(data, key_0, key_1) VALUES(x'0100414200000000', 1, 'AB');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    Block block{};
    ASSERT_EQ(openFile(block, path("mixed.dat")), B_NO_ERROR);
    Call call{Bytes(8)};
    ASSERT_EQ(call.run(B_GET_FIRST, block, 0), B_NO_ERROR);
    EXPECT_EQ(call.data[2], 'A');
    EXPECT_EQ(call.run(B_GET_FIRST, block, 1), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(call.run(B_UPDATE, block, 0), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(call.run(B_DELETE, block, 0), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(call.run(B_INSERT, block, 0), B_OPERATION_NOT_ALLOWED);
}

}  // namespace
}  // namespace btrieve_test
