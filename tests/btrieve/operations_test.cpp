// What the model-based test cannot reach: single-key files, open
// modes, Stop / Reset with a transaction open, files made by other programs,
// the refusals of Create Index and Drop Index, and the current directory.
// Single-step operation sequences on the standard layout are left to the model.
#include "btrieve_fixture.h"

#include <filesystem>
#include <fstream>
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

// Create Index and Drop Index refused: each status, and the file as it was.
TEST_P(EngineTest, CreateAndDropIndexRefuseWhatTheyMustAndChangeNothing) {
    Block block{}, other{};
    openStandard(block);
    for (std::uint32_t code : {1, 2, 3}) {
        Call insert{Standard::record(0, 1, code, 0xFF)};
        ASSERT_EQ(insert.run(B_INSERT, block, 0), B_NO_ERROR);
    }
    // A key's entries as Create Index takes them: the Create buffer of that one key without the file's entry.
    auto entries = [](wbtrv::SegmentEntry segment) {
        wbtrv::CreateEntries one;
        segment.flags |= B_KEY_EXTENDED_TYPE;
        one.keys = {{segment}};
        Bytes buffer = wbtrv::buildCreateBuffer(one);
        return Bytes(buffer.begin() + BTR_FILE_ENTRY_SIZE, buffer.end());
    };
    const Bytes payload = entries({11, 4, B_KEY_DUPLICATES});
    struct Case {
        const char* name;
        Bytes data;
        std::uint16_t op;
        std::int8_t keyNumber;
        std::int16_t status;
    };
    const Case cases[] = {
        {"entries cut short", Bytes(payload.begin(), payload.end() - 1), B_CREATE_INDEX, 0, B_DATA_BUFFER_TOO_SHORT},
        {"outside the record", entries({15, 4}), B_CREATE_INDEX, 0, B_INVALID_KEY_POSITION},
        {"a length its type refuses", entries({11, 3, 0, B_TYPE_INTEGER}), B_CREATE_INDEX, 0, B_INVALID_KEY_LENGTH},
        {"a type not supported", entries({11, 4, 0, B_TYPE_NOTE}), B_CREATE_INDEX, 0, B_KEY_TYPE_ERROR},
        {"case on an integer", entries({11, 4, B_KEY_NOCASE, B_TYPE_INTEGER}), B_CREATE_INDEX, 0,
         B_INCONSISTENT_KEY_FLAGS},
        {"no collating sequence", entries({11, 4, B_KEY_ALT_COLLATING}), B_CREATE_INDEX, 0,
         B_INVALID_COLLATING_SEQUENCE},
        {"a number taken", entries({11, 4, 0, 0, 0, 2}), B_CREATE_INDEX, -128, B_INVALID_KEY_NUMBER},
        {"a number above 118", entries({11, 4, 0, 0, 0, 119}), B_CREATE_INDEX, -128, B_INVALID_KEY_NUMBER},
        {"values that repeat", entries({11, 4}), B_CREATE_INDEX, 0, B_DUPLICATE_KEY_VALUE},
        {"a value the key cannot hold", entries({9, 8, B_KEY_DUPLICATES, B_TYPE_UNSIGNED_BINARY}), B_CREATE_INDEX, 0,
         B_OPERATION_NOT_ALLOWED},
        {"no such key", {}, B_DROP_INDEX, 3, B_INVALID_KEY_NUMBER},
        {"no such key, numbers kept", {}, B_DROP_INDEX, -128 + 7, B_INVALID_KEY_NUMBER},
    };
    Call stat{Bytes(512)};
    ASSERT_EQ(stat.run(B_STAT, block, 0), B_NO_ERROR);
    for (const Case& c : cases) {
        Call call{c.data};
        EXPECT_EQ(call.run(c.op, block, c.keyNumber), c.status) << c.name;
    }
    // Inside a transaction, through a read-only block, beside another block.
    for (std::uint16_t op : {B_CREATE_INDEX, B_DROP_INDEX}) {
        Call call{payload};
        ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
        EXPECT_EQ(call.run(op, block, 1), B_OPERATION_NOT_ALLOWED);
        ASSERT_EQ(BTRCALL(B_ABORT_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
        for (std::int8_t mode : {B_MODE_READ_ONLY, B_MODE_NORMAL}) {
            ASSERT_EQ(openFile(other, path("standard.dat"), mode), B_NO_ERROR);
            EXPECT_EQ(call.run(op, mode == B_MODE_NORMAL ? block : other, 1),
                      mode == B_MODE_NORMAL ? B_FILE_IN_USE : B_ACCESS_DENIED);
            ASSERT_EQ(BTRCALL(B_CLOSE, other.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
        }
    }
    Call after{Bytes(512)};
    ASSERT_EQ(after.run(B_STAT, block, 0), B_NO_ERROR);
    EXPECT_EQ(after.data, stat.data);
    std::string message;
    EXPECT_EQ(verify(path("standard.dat"), message), B_NO_ERROR) << message;
    // A file's only key stays; a file of 119 keys takes no other.
    const std::vector<wbtrv::SegmentEntry> keys(119, {1, 1, B_KEY_DUPLICATES});
    const std::tuple<const char*, Bytes, std::uint16_t, std::int16_t> files[] = {
        {"one.dat", createBuffer(8, {{1, 4}}), B_DROP_INDEX, B_OPERATION_NOT_ALLOWED},
        {"full.dat", createBuffer(8, keys), B_CREATE_INDEX, B_INVALID_NUMBER_OF_KEYS},
    };
    for (const auto& [name, buffer, op, status] : files) {
        ASSERT_EQ(createFile(path(name), buffer), B_NO_ERROR);
        ASSERT_EQ(openFile(other, path(name)), B_NO_ERROR);
        Call call{payload};
        EXPECT_EQ(call.run(op, other, 0), status) << name;
    }
}

// The record manager's current directory: relative names of Open, Create
// and verify resolve against it, and the process's own stays as it was.
TEST_P(EngineTest, RelativeNamesResolveAgainstTheRecordManagersDirectory) {
    using wbtrv::client::getDirectory;
    using wbtrv::client::setDirectory;
    const std::string working = std::filesystem::current_path().string();
    std::string directory;
    ASSERT_EQ(getDirectory(directory), B_NO_ERROR);
    EXPECT_EQ(directory, working);
    std::filesystem::create_directory(dir_ / "world");
    std::ofstream(dir_ / "world" / "plain").close();
    ASSERT_EQ(setDirectory(dir_.string()), B_NO_ERROR);
    ASSERT_EQ(setDirectory("world/../world"), B_NO_ERROR);
    ASSERT_EQ(getDirectory(directory), B_NO_ERROR);
    EXPECT_EQ(directory, std::filesystem::canonical(dir_ / "world").string());
    EXPECT_EQ(std::filesystem::current_path().string(), working);
    for (const char* refused : {"missing", "plain", "plain/.."})
        EXPECT_EQ(setDirectory(refused), B_DIRECTORY_ERROR) << refused;
    EXPECT_EQ(setDirectory(""), B_INVALID_FILE_NAME);
    Bytes key(directory.begin(), directory.end());
    EXPECT_EQ(BTRCALL(B_SET_DIRECTORY, nullptr, nullptr, nullptr, key.data(), std::uint8_t(key.size()), 0),
              B_INVALID_FILE_NAME);
    EXPECT_EQ(BTRCALL(B_GET_DIRECTORY, nullptr, nullptr, nullptr, key.data(), std::uint8_t(key.size()), 0),
              B_KEY_BUFFER_TOO_SHORT);
    EXPECT_EQ(std::string(key.begin(), key.end()), directory) << "nothing written";

    Block relative{}, absolute{};
    ASSERT_EQ(createFile("rel.dat", Standard::createBuffer()), B_NO_ERROR);
    ASSERT_EQ(openFile(relative, "rel.dat"), B_NO_ERROR);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, relative, 0), B_NO_ERROR);
    ASSERT_EQ(openFile(absolute, path("world/rel.dat")), B_NO_ERROR);
    EXPECT_EQ(call.run(B_GET_FIRST, absolute, 0), B_NO_ERROR);
    std::string message;
    EXPECT_EQ(verify("rel.dat", message), B_NO_ERROR) << message;
    ASSERT_EQ(BTRCALL(B_STOP, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    ASSERT_EQ(getDirectory(message), B_NO_ERROR);
    EXPECT_EQ(message, directory) << "Stop keeps the directory";
    ASSERT_EQ(setDirectory(working), B_NO_ERROR);
}

}  // namespace
}  // namespace btrieve_test
