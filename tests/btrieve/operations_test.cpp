// What the model-based test cannot reach: single-key files, open
// modes, Stop / Reset with a transaction open, and files made by other programs.
// Single-step operation sequences on the standard layout are left to the model.
#include "btrieve_fixture.h"

#include <tuple>

namespace btrieve_test {
namespace {

// The model test orders keys by compareSegment and draws its values from the
// order table: the comparison must agree with the table's groups.
TEST(OrderTable, TheModelsComparisonAgreesWithEachKeyTypesOrder) {
    for (const OrderCase& c : orderCases()) {
        SCOPED_TRACE(c.name);
        for (std::size_t ga = 0; ga < c.groups.size(); ++ga)
            for (std::size_t gb = 0; gb < c.groups.size(); ++gb)
                for (const Bytes& a : c.groups[ga])
                    for (const Bytes& b : c.groups[gb])
                        EXPECT_EQ(compareSegment(c.segment, a.data(), b.data()), ga < gb ? -1 : ga > gb ? 1 : 0);
    }
}

TEST_P(EngineTest, UnsignedValuesBeyondTheSignedRangeAreRefusedNotMisordered) {
    ASSERT_EQ(createFile(path("u8.dat"), createBuffer(8, {{1, 8, 0, B_TYPE_UNSIGNED_BINARY}})), B_NO_ERROR);
    Block block{};
    ASSERT_EQ(openFile(block, path("u8.dat")), B_NO_ERROR);
    Call call{Bytes(8, 0xFF)};
    EXPECT_EQ(call.run(B_INSERT, block, 0), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(call.run(B_GET_EQUAL, block, 0), B_KEY_VALUE_NOT_FOUND);
}

TEST_P(EngineTest, OpenModesReadOnlyAndExclusive) {
    Block normal{}, readOnly{}, exclusive{};
    openStandard(normal);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, normal, 0), B_NO_ERROR);
    // A read-only block of a writable file: reads work, writes get 46.
    ASSERT_EQ(openFile(readOnly, path("standard.dat"), B_MODE_READ_ONLY), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST, readOnly, 0), B_NO_ERROR);
    EXPECT_EQ(call.run(B_UPDATE, readOnly, 0), B_ACCESS_DENIED);
    EXPECT_EQ(openFile(exclusive, path("standard.dat"), B_MODE_EXCLUSIVE), B_FILE_IN_USE);
    ASSERT_EQ(call.run(B_CLOSE, normal, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_CLOSE, readOnly, 0), B_NO_ERROR);
    ASSERT_EQ(openFile(exclusive, path("standard.dat"), B_MODE_EXCLUSIVE), B_NO_ERROR);
    EXPECT_EQ(openFile(normal, path("standard.dat")), B_FILE_IN_USE);
    ASSERT_EQ(call.run(B_GET_FIRST, exclusive, 0), B_NO_ERROR);
    EXPECT_EQ(call.run(B_CLOSE, exclusive, 0), B_NO_ERROR);
    EXPECT_EQ(openFile(normal, path("standard.dat")), B_NO_ERROR);
}

TEST_P(EngineTest, StopAndResetAbortTheTransactionAndCloseEverything) {
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

// Files made before one index per key carry a UNIQUE constraint beside each
// unique index: still read and written. A key column made elsewhere that does
// not hold our encoding (here a string key in an INTEGER column) is read-only,
// readable along the other keys.
TEST_F(BtrieveTest, FilesMadeBeforeStayWritableAndForeignKeyColumnsReadOnly) {
    const std::string oldTable =
        "DROP TABLE data_t; CREATE TABLE data_t(id INTEGER PRIMARY KEY, data BLOB NOT NULL,"
        " key_0 INTEGER NOT NULL UNIQUE, key_1 INTEGER NOT NULL UNIQUE);"
        "CREATE UNIQUE INDEX key_0_index ON data_t(key_0); CREATE UNIQUE INDEX key_1_index ON data_t(key_1);";
    const std::string foreign =
        "UPDATE keys_t SET data_type = 0 WHERE number = 1;"
        "INSERT INTO data_t(data, key_0, key_1) VALUES(x'0100414200000000', 1, 'AB');";
    Block old{}, mixed{};
    for (auto [name, block, sql] : {std::tuple{"old.dat", &old, oldTable}, {"mixed.dat", &mixed, oldTable + foreign}}) {
        ASSERT_EQ(createFile(path(name), createBuffer(8, {{1, 2, 0, B_TYPE_INTEGER}, {3, 2, 0, B_TYPE_INTEGER}})),
                  B_NO_ERROR);
        runSql(path(name), sql);
        ASSERT_EQ(openFile(*block, path(name)), B_NO_ERROR);
    }
    for (auto [k, status] : {std::pair{2, B_NO_ERROR}, {1, B_NO_ERROR}, {2, B_DUPLICATE_KEY_VALUE}}) {
        Call call{Bytes(8, 0)};
        putInt(call.data, 0, 2, k);
        putInt(call.data, 2, 2, -k);
        EXPECT_EQ(call.run(B_INSERT, old, 0), status);
    }
    Call call{Bytes(8)};
    ASSERT_EQ(call.run(B_GET_FIRST, old, 1), B_NO_ERROR);
    EXPECT_EQ(getInt(call.data, 2, 2), -2);
    putInt(call.data, 2, 2, 7);
    EXPECT_EQ(call.run(B_UPDATE, old, 1), B_MODIFIABLE_KEY_VALUE_ERROR);
    std::string message;
    EXPECT_EQ(verify(path("old.dat"), message), B_NO_ERROR) << message;

    ASSERT_EQ(call.run(B_GET_FIRST, mixed, 0), B_NO_ERROR);
    EXPECT_EQ(call.data[2], 'A');
    EXPECT_EQ(call.run(B_GET_FIRST, mixed, 1), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(call.run(B_UPDATE, mixed, 0), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(call.run(B_DELETE, mixed, 0), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(call.run(B_INSERT, mixed, 0), B_OPERATION_NOT_ALLOWED);
}

}  // namespace
}  // namespace btrieve_test
