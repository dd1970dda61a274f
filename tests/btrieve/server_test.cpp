// What only a file on a database server meets: tables on the server that are
// not ours, a server that goes away under an open file, a role that may only
// read, a server named by the data folder rather than the environment (worlds
// in two schemas keeping their locks apart; a folder's server file trusted
// only when safe), and a connection string whose password must never show.
#include "btrieve_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace btrieve_test {
namespace {

using ServerTest = EngineTest;
INSTANTIATE_TEST_SUITE_P(Engines, ServerTest, ::testing::Values(Engine::Server),
                         [](const auto&) { return std::string("Server"); });

// A name whose tables are not ours is refused on Open and by verify, and its tables stay as they were.
TEST_P(ServerTest, ForeignTablesAreRefusedAndLeftUnchanged) {
    const std::pair<const char*, const char*> damages[] = {
        {"extra.dat", "ALTER TABLE wbtrv_data_1 ADD COLUMN extra integer"},
        {"version.dat", "UPDATE wbtrv_files SET version = 2 WHERE name = 'version.dat'"},
        {"dropped.dat", "DROP TABLE wbtrv_data_3"},
        {"gaps.dat", "DELETE FROM wbtrv_keys WHERE file_id = 4 AND number = 1"},
    };
    for (const auto& [name, sql] : damages) {
        Block block{};
        openStandard(block, name);
        Call insert{Standard::record(0, 1, 1)};
        ASSERT_EQ(insert.run(B_INSERT, block, 0), B_NO_ERROR);
        BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
        ASSERT_TRUE(schema_->sql(sql)) << sql;
    }
    const std::string everything =
        "SELECT string_agg(t::text, ',') FROM (SELECT f.*, k.* FROM wbtrv_files f JOIN wbtrv_keys k ON k.file_id = f.id"
        " ORDER BY f.id, k.number, k.segment) t";
    std::string before, after;
    ASSERT_TRUE(schema_->sql(everything, &before));
    for (const auto& [name, sql] : damages) {
        SCOPED_TRACE(name);
        for (std::int8_t mode : {B_MODE_NORMAL, B_MODE_READ_ONLY, B_MODE_EXCLUSIVE}) {
            Block block{};
            EXPECT_EQ(openFile(block, path(name), mode), B_NOT_A_DATA_FILE);
        }
        std::string message;
        EXPECT_EQ(verify(path(name), message), B_NOT_A_DATA_FILE) << message;
    }
    ASSERT_TRUE(schema_->sql(everything, &after));
    EXPECT_EQ(after, before);
    std::string records;
    ASSERT_TRUE(schema_->sql("SELECT count(*) FROM wbtrv_data_1", &records));
    EXPECT_EQ(records, "1");
    // A catalog of the same name that another program made is not ours either.
    ASSERT_TRUE(schema_->sql("DROP TABLE wbtrv_files CASCADE; CREATE TABLE wbtrv_files(name text, rooms integer)"));
    Block block{};
    EXPECT_EQ(openFile(block, path("extra.dat")), B_NOT_A_DATA_FILE);
}

// The connection of an open file is cut (the server ended its session): the
// call that finds it answers 20 at once, so do the calls after it, and
// nothing half-done is kept. Closed and opened again, the file works.
TEST_P(ServerTest, ALostServerGivesAStatusAndOpenWorksAgain) {
    Block block{};
    openStandard(block);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    call.data = Standard::record(0, 2, 2);
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    ASSERT_TRUE(schema_->terminateSessions());
    for (std::uint16_t op : {B_GET_FIRST, B_STEP_NEXT, B_UPDATE, B_DELETE, B_INSERT, B_STAT})
        EXPECT_EQ(call.run(op, block, 0), B_SERVER_LOST) << op;
    EXPECT_EQ(BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_SERVER_LOST);
    EXPECT_EQ(call.run(B_CLOSE, block, 0), B_NO_ERROR);

    ASSERT_EQ(openFile(block, path("standard.dat")), B_NO_ERROR);
    std::int16_t status = B_NO_ERROR;
    const auto records = readAll(block, status);
    EXPECT_EQ(status, B_NO_ERROR);
    ASSERT_EQ(records.size(), 1u) << "the transaction's insert is gone with its session";
    EXPECT_EQ(getInt(records[0], 4, 2), 1);

    // A server that cannot be reached: 20 after the connection timeout at most,
    // and the password of the connection string is in no message.
    ASSERT_EQ(call.run(B_CLOSE, block, 0), B_NO_ERROR);
    setenv("WBTRV32_SERVER", "host=/nonexistent user=grim password=s3cret-w0rd connect_timeout=2", 1);
    EXPECT_EQ(openFile(block, path("standard.dat")), B_SERVER_LOST);
    std::string message;
    EXPECT_EQ(verify(path("standard.dat"), message), B_SERVER_LOST);
    EXPECT_EQ(message.find("s3cret"), std::string::npos) << message;
}

// A role the server lets read a file but not change it opens it read-only:
// reads work, writes and record locks answer 46.
TEST_P(ServerTest, ARoleThatMayOnlyReadGets46OnWrites) {
    Block block{};
    openStandard(block);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    const std::string reader = "reader_" + schema_->name();
    ASSERT_TRUE(schema_->sql("CREATE ROLE " + reader + " LOGIN; GRANT USAGE ON SCHEMA " + schema_->name() + " TO " +
                             reader + "; GRANT SELECT ON ALL TABLES IN SCHEMA " + schema_->name() + " TO " + reader));
    setenv("WBTRV32_SERVER", (schema_->connection() + " user=" + reader).c_str(), 1);
    ASSERT_EQ(openFile(block, path("standard.dat")), B_NO_ERROR);
    EXPECT_EQ(call.run(B_GET_FIRST, block, 0), B_NO_ERROR);
    for (int op : {int{B_UPDATE}, int{B_INSERT}, int{B_DELETE}, B_GET_FIRST + B_SINGLE_NOWAIT_LOCK})
        EXPECT_EQ(call.run(static_cast<std::uint16_t>(op), block, 0), B_ACCESS_DENIED) << op;
    BTRCALL(B_RESET, block.data(), nullptr, nullptr, nullptr, 0, 0);
    EXPECT_TRUE(schema_->sql("DROP OWNED BY " + reader + "; DROP ROLE " + reader));
}

// Without the environment variable, a data folder's wbtrv32.server names the
// server of the files in that folder (comments and blank lines before it);
// other folders keep their files on disk. Two folders naming worlds in two
// schemas of one database, each with a file of the same name and so of the
// same number there, keep their locks apart: in one transaction, each file is
// held exclusively, written and its first record locked.
TEST_P(ServerTest, AFolderNamesItsServerAndWorldsKeepTheirLocksApart) {
    const test_support::ServerSchema other;  // named in WBTRV32_SERVER: the folders name the two instead
    unsetenv("WBTRV32_SERVER");
    std::filesystem::create_directory(dir_ / "other");
    std::ofstream(path("wbtrv32.server")) << "# the team's world\n\n  " << schema_->connection() << "  \n";
    std::ofstream(path("other/wbtrv32.server")) << other.connection() << "\n";
    for (const char* name : {"RACES.DAT", "other/races.dat"})
        ASSERT_EQ(createFile(path(name), Standard::createBuffer()), B_NO_ERROR);
    EXPECT_FALSE(std::filesystem::exists(path("RACES.DAT")));
    std::string name;
    ASSERT_TRUE(schema_->sql("SELECT string_agg(name, ',') FROM wbtrv_files", &name));
    EXPECT_EQ(name, "races.dat");
    Block blocks[2]{};
    ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    for (int w = 0; w < 2; ++w) {
        Call call{Standard::record(0, 2, 2)};
        EXPECT_EQ(openFile(blocks[w], w ? path("other/races.dat") : dir_.string() + "/./races.dat", B_MODE_EXCLUSIVE),
                  B_NO_ERROR);
        EXPECT_EQ(call.run(B_INSERT, blocks[w], 0), B_NO_ERROR);
        EXPECT_EQ(call.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, blocks[w], 0), B_NO_ERROR);
    }
    EXPECT_EQ(BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);

    std::filesystem::create_directory(dir_ / "local");
    ASSERT_EQ(createFile(path("local/races.dat"), Standard::createBuffer()), B_NO_ERROR);
    EXPECT_TRUE(std::filesystem::exists(path("local/races.dat")));
}

// A folder's wbtrv32.server is honoured only when nobody but the user or
// root can have written it and it sends no credentials elsewhere; refused,
// Open and Create answer 46 at once (verify says why) and nothing is
// connected to or made in the folder. A data file's name that is a FIFO or
// a device answers 30 at once, never opened.
TEST_P(ServerTest, AFolderIsTrustedOnlyWithASafeServerFileAndOrdinaryDataFiles) {
    unsetenv("WBTRV32_SERVER");
    const std::string connection = schema_->connection();
    struct Case {
        const char* folder;
        std::string serverFile;  // written with `mode` unless `special` makes it
        mode_t mode;
        std::string_view special;  // "fifo", "zero" (a link to /dev/zero), "nobody" (owned by another user)
        std::int16_t status;
        const char* why;
    };
    const Case cases[] = {
        {"honoured", "# the team's world\n" + connection + "\n", 0644, "", B_NO_ERROR, ""},
        {"group-writable", connection, 0664, "", B_ACCESS_DENIED, "may be written by others"},
        {"other-writable", connection, 0602, "", B_ACCESS_DENIED, "may be written by others"},
        {"large", std::string(520, '#') + "\n" + connection, 0644, "", B_ACCESS_DENIED, "larger than 512"},
        {"fifo", "", 0644, "fifo", B_ACCESS_DENIED, "not a regular file"},
        {"zero", "", 0644, "zero", B_ACCESS_DENIED, "not a regular file"},
        {"nobody", connection, 0644, "nobody", B_ACCESS_DENIED, "belongs to another user"},
        {"hostaddr", connection + " hostaddr=127.0.0.1", 0644, "", B_ACCESS_DENIED, "sets hostaddr"},
        {"passfile", connection + " passfile=/tmp/x", 0644, "", B_ACCESS_DENIED, "sets passfile"},
        {"sslmode", connection + " sslmode=disable", 0644, "", B_ACCESS_DENIED, "sets sslmode"},
        {"service", "service=team " + connection, 0644, "", B_ACCESS_DENIED, "sets service"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::filesystem::path folder = dir_ / c.folder, serverFile = folder / "wbtrv32.server";
        std::filesystem::create_directory(folder);
        if (c.special == "fifo") {
            ASSERT_EQ(mkfifo(serverFile.c_str(), 0644), 0);
        } else if (c.special == "zero") {
            std::filesystem::create_symlink("/dev/zero", serverFile);
        } else {
            std::ofstream(serverFile) << c.serverFile;
            std::filesystem::permissions(serverFile, std::filesystem::perms(c.mode));
        }
        if (c.special == "nobody" && (geteuid() != 0 || chown(serverFile.c_str(), 65534, -1) != 0))
            continue;  // only root can give a file away
        const std::string file = (folder / "races.dat").string();
        EXPECT_EQ(createFile(file, Standard::createBuffer()), c.status);
        Block block{};
        EXPECT_EQ(openFile(block, file), c.status);
        BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
        std::string message;
        EXPECT_EQ(verify(file, message), c.status);
        EXPECT_NE(message.find(c.why), std::string::npos) << message;
        EXPECT_FALSE(std::filesystem::exists(file)) << "a refused folder gets no file either";
    }
    for (const auto& [name, target] :
         {std::pair{"pipe.dat", ""}, {"zero.dat", "/dev/zero"}, {"null.dat", "/dev/null"}}) {
        SCOPED_TRACE(name);
        if (*target)
            std::filesystem::create_symlink(target, path(name));
        else
            ASSERT_EQ(mkfifo(path(name).c_str(), 0644), 0);
        for (std::int8_t mode : {B_MODE_NORMAL, B_MODE_READ_ONLY, B_MODE_EXCLUSIVE}) {
            Block block{};
            EXPECT_EQ(openFile(block, path(name), mode), B_NOT_A_DATA_FILE);
        }
        for (std::int8_t replace : {0, -1})
            EXPECT_EQ(createFile(path(name), Standard::createBuffer(), replace), B_NOT_A_DATA_FILE);
        std::string message;
        EXPECT_EQ(verify(path(name), message), B_NOT_A_DATA_FILE) << message;
    }
}

}  // namespace
}  // namespace btrieve_test
