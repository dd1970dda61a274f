// Damaged files of ours and foreign SQLite files with journals: Open refuses
// what it cannot trust, every walk along every key ends, nothing crashes, and
// a file that is not ours keeps every byte, its journal files included.
#include "btrieve_fixture.h"
#include "child_process.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>

namespace btrieve_test {
namespace {

constexpr int kRecords = 5;

struct Damage {
    const char* name;
    const char* sql;     // applied to a file of kRecords standard records
    std::int16_t open;   // what Open answers
    std::int16_t walks;  // 0: every walk reaches the end; 2: some walk meets the damage
};

const Damage kDamages[] = {
    {"key offset a huge real", "UPDATE keys_t SET offset = 1e300 WHERE number = 1", B_NOT_A_DATA_FILE, 0},
    {"key length the largest integer", "UPDATE keys_t SET length = 9223372036854775807 WHERE number = 2",
     B_NOT_A_DATA_FILE, 0},
    {"key offset the largest integer", "UPDATE keys_t SET offset = 9223372036854775807 WHERE number = 1",
     B_NOT_A_DATA_FILE, 0},
    {"key type beyond a byte", "UPDATE keys_t SET data_type = 270 WHERE number = 1", B_NOT_A_DATA_FILE, 0},
    {"record length real", "UPDATE metadata_t SET record_length = 16.5", B_NOT_A_DATA_FILE, 0},
    {"a short record", "UPDATE data_t SET data = x'0300' WHERE id = 3", B_NO_ERROR, B_IO_ERROR},
    {"a key column that disagrees", "UPDATE data_t SET key_0 = 7 WHERE id = 1", B_NO_ERROR, B_IO_ERROR},
    {"no damage", "SELECT 1", B_NO_ERROR, B_NO_ERROR},
};

TEST_F(BtrieveTest, DamagedFilesAreRefusedOrReportedAndEveryWalkEnds) {
    for (const Damage& d : kDamages) {
        SCOPED_TRACE(d.name);
        const std::string file = path("damaged.dat");
        std::filesystem::remove(file);
        fill(file, 1, kRecords);
        Block block{};
        runSql(file, d.sql);
        ASSERT_EQ(openFile(block, file), d.open);
        std::string message;
        EXPECT_EQ(verify(file, message) == B_NO_ERROR, d.walks == B_NO_ERROR && d.open == B_NO_ERROR) << message;
        if (d.open != B_NO_ERROR) continue;
        // Every walk along every key, both ways, ends within the number of
        // records, on end of file or on status 2 at the damage.
        std::int16_t worst = B_NO_ERROR;
        for (std::int8_t key = 0; key < 3; ++key) {
            for (const auto& [first, next] :
                 {std::pair{B_GET_FIRST, B_GET_NEXT}, std::pair{B_GET_LAST, B_GET_PREVIOUS}}) {
                Call call{Bytes(Standard::recordLength)};
                std::int16_t status = call.run(first, block, key);
                int steps = 0;
                while (status == B_NO_ERROR && ++steps <= kRecords + 1) status = call.run(next, block, key);
                EXPECT_LE(steps, kRecords) << "a walk along key " << int{key} << " does not end";
                EXPECT_TRUE(status == B_END_OF_FILE || status == B_IO_ERROR) << status;
                if (status == B_IO_ERROR) worst = status;
            }
        }
        EXPECT_EQ(worst, d.walks);
        // Updating whatever is current never reads past a stored record.
        Call call{Bytes(Standard::recordLength)};
        EXPECT_TRUE(call.run(B_GET_FIRST, block, 2) != B_NO_ERROR || call.run(B_UPDATE, block, 2) == B_NO_ERROR);
        BTRCALL(B_RESET, block.data(), nullptr, nullptr, nullptr, 0, 0);
    }
}

TEST_F(BtrieveTest, ForeignFilesWithJournalsAreLeftByteForByte) {
    const std::string spill =
        "PRAGMA cache_size=1; BEGIN; CREATE TABLE t(x);"
        " WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 3000)"
        " INSERT INTO t SELECT randomblob(100) FROM n;";
    struct Foreign {
        const char* name;
        std::string setUp, dying, journal;
    };
    const Foreign foreign[] = {
        {"hot rollback journal", "PRAGMA journal_mode=DELETE; CREATE TABLE old(x); INSERT INTO old VALUES(1);", spill,
         "-journal"},
        {"write-ahead log", "PRAGMA journal_mode=WAL; CREATE TABLE old(x);", "INSERT INTO old VALUES(2);", "-wal"},
        {"our tables in a hot journal", "PRAGMA journal_mode=DELETE; CREATE TABLE metadata_t(x);", spill, "-journal"},
    };
    for (const Foreign& f : foreign) {
        SCOPED_TRACE(f.name);
        const std::string file = path(std::string(f.name) + ".dat");
        runSql(file, f.setUp);
        // The child dies with the database open, so the journal stays behind: hot
        // (rollback journal) or holding committed frames (write-ahead log).
        Child([&](int, int) {
            sqlite3* db = nullptr;
            sqlite3_open(file.c_str(), &db);
            return sqlite3_exec(db, f.dying.c_str(), nullptr, nullptr, nullptr);
        }).wait();
        ASSERT_TRUE(std::filesystem::exists(file + f.journal));
        const Bytes before = fileBytes(file), journalBefore = fileBytes(file + f.journal);
        for (std::int8_t mode : {B_MODE_NORMAL, B_MODE_READ_ONLY, B_MODE_EXCLUSIVE}) {
            Block block{};
            EXPECT_EQ(openFile(block, file, mode), B_NOT_A_DATA_FILE);
        }
        std::string message;
        EXPECT_EQ(verify(file, message), B_NOT_A_DATA_FILE) << message;
        EXPECT_EQ(fileBytes(file), before);
        EXPECT_EQ(fileBytes(file + f.journal), journalBefore);
    }
}

// BTRVERIFY's verdicts on a sound file of three records and on each kind of damage.
TEST_F(BtrieveTest, VerifyFindsEachKindOfFault) {
    struct Case {
        const char* sql;
        std::int16_t status;
        const char* mentions;
    };
    const Case cases[] = {
        {"", B_NO_ERROR, ""},
        // A short record and a key column that disagrees: also with the damaged files.
        {"UPDATE data_t SET key_2 = 'abc' WHERE id = 1", B_IO_ERROR, "key_2"},
        {"DROP TABLE keys_t", B_NOT_A_DATA_FILE, "keys_t"},
        {"UPDATE metadata_t SET version = 2", B_NOT_A_DATA_FILE, "version"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        const std::string file = path("standard.dat");
        fill(file, 1, 3);
        runSql(file, c.sql);
        std::string message;
        EXPECT_EQ(verify(file, message), c.status);
        EXPECT_NE(message.find(c.mentions), std::string::npos) << message;
        std::filesystem::remove(file);
    }
}

// Missing files are checked with the message buffer below, foreign ones with the files that are not ours.
TEST_F(BtrieveTest, VerifyFindsByteDamage) {
    std::string message;
    const std::string file = path("standard.dat");
    fill(file, 1, 3);
    runSql(file, "PRAGMA journal_mode=DELETE");  // everything in the main file
    Bytes bytes = fileBytes(file);
    ASSERT_GT(bytes.size(), 4096u);
    for (std::size_t i = 1024 + 100; i < bytes.size(); i += 7) bytes[i] ^= 0x5A;
    writeFileBytes(file, bytes);
    EXPECT_NE(verify(file, message), B_NO_ERROR);
    EXPECT_FALSE(message.empty());
}

TEST_F(BtrieveTest, VerifyMessageIsCutToTheGivenLengthAndMayBeAbsent) {
    char text[8];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(BTRVERIFY(path("missing.dat").c_str(), text, sizeof text), B_FILE_NOT_FOUND);
    EXPECT_EQ(std::strlen(text), sizeof text - 1);
    EXPECT_EQ(BTRVERIFY(path("missing.dat").c_str(), nullptr, 100), B_FILE_NOT_FOUND);
    EXPECT_EQ(BTRVERIFY(nullptr, text, sizeof text), B_INVALID_FILE_NAME);
    EXPECT_EQ(BTRVERIFY(path("missing.dat").c_str(), text, 0), B_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace btrieve_test
