// Damaged files of ours and foreign SQLite files with journals: Open refuses
// what it cannot trust, every walk along every key ends, nothing crashes, and
// a file that is not ours keeps every byte, its journal files included.
#include "btrieve_fixture.h"
#include "child_process.h"

#include <sqlite3.h>

#include <filesystem>

namespace btrieve_test {
namespace {

constexpr int kRecords = 5;

// Runs sql on the file; `dying` leaves it open, so in a child that then dies
// the journal stays behind, hot (rollback journal) or holding committed frames
// (write-ahead log).
int runSql(const std::string& file, const std::string& sql, bool dying = false) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    if (!dying) sqlite3_close(db);
    return rc;
}

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
        ASSERT_EQ(runSql(file, d.sql), SQLITE_OK);
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
        ASSERT_EQ(runSql(file, f.setUp), SQLITE_OK);
        Child([&](int, int) { return runSql(file, f.dying, true); }).wait();
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

}  // namespace
}  // namespace btrieve_test
