// What only a file on a database server meets: tables on the server that are
// not ours, a server that goes away under an open file, roles the server
// refuses rights (and its own words on why), a server named by the data folder rather than the environment (worlds
// in two schemas keeping their locks apart), and a connection string whose
// password must never show.
#include "btrieve_fixture.h"

#include <algorithm>
#include <fstream>

namespace btrieve_test {
namespace {

using ServerTest = EngineTest;
INSTANTIATE_TEST_SUITE_P(Engines, ServerTest, ::testing::Values(Engine::Server),
                         [](const auto&) { return std::string("Server"); });

// The server's words on this thread's last call (BTRSERVERMESSAGE).
std::string serverMessage() {
    char text[256];
    const std::uint32_t length = BTRSERVERMESSAGE(text, sizeof text);
    EXPECT_EQ(std::string(text).size(), std::min<std::size_t>(length, sizeof text - 1));
    return text;
}

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
    // with the server's words on why, and the password of the connection
    // string is in no message, nor is a string libpq cannot read.
    ASSERT_EQ(call.run(B_CLOSE, block, 0), B_NO_ERROR);
    const std::pair<const char*, const char*> unreachable[] = {
        {"host=/nonexistent user=grim password=s3cret-w0rd connect_timeout=2", "/nonexistent"},
        {"host=/s3cret-w0rd user=grim password=s3cret-w0rd connect_timeout=2", "/***/"},
        {"postgresql://grim:s3cret-w0rd@%2Fnonexistent/db?s3cret-w0rd=1", "connection string"},
    };
    for (const auto& [server, words] : unreachable) {
        SCOPED_TRACE(server);
        setenv("WBTRV32_SERVER", server, 1);
        EXPECT_EQ(openFile(block, path("standard.dat")), B_SERVER_LOST);
        const std::string said = serverMessage();
        EXPECT_EQ(said.find("s3cret"), std::string::npos) << said;
        EXPECT_NE(said.find(words), std::string::npos) << said;
        std::string message;
        EXPECT_EQ(verify(path("standard.dat"), message), B_SERVER_LOST);
        EXPECT_EQ(message.find("s3cret"), std::string::npos) << message;
    }
    // A call that does not fail leaves no message, and a short buffer gets the message's start.
    char text[8] = "unset";
    EXPECT_GT(BTRSERVERMESSAGE(text, 4), 3u);
    EXPECT_EQ(std::string(text).size(), 3u);
    EXPECT_EQ(BTRCALL(B_GET_DIRECTORY, nullptr, nullptr, nullptr, text, sizeof text, 0), B_KEY_BUFFER_TOO_SHORT);
    EXPECT_EQ(BTRSERVERMESSAGE(nullptr, 0), 0u);
}

// What the server does not let a role do answers 46, as on files, with the
// server's own words on why: a role that may not read the catalog opens
// nothing; one that may read opens files read-only (reads work, writes and
// record locks 46); none of them may make a file; and a role whose rights to
// write are taken while its file is open gets 46 from the server itself.
TEST_P(ServerTest, WhatARoleMayNotDoIs46) {
    Block block{};
    openStandard(block);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    struct RoleCase {
        const char* name;
        const char* rights;  // on every table of the schema
        std::int16_t open;
        bool revokedWhileOpen;
    };
    const RoleCase roles[] = {
        {"blind", nullptr, B_ACCESS_DENIED, false},
        {"reader", "SELECT", B_NO_ERROR, false},
        {"writer", "SELECT, INSERT, UPDATE, DELETE", B_NO_ERROR, true},
    };
    const auto refused = [&](std::uint16_t op) {
        EXPECT_EQ(call.run(op, block, 0), B_ACCESS_DENIED) << op;
        return serverMessage();
    };
    for (const RoleCase& c : roles) {
        SCOPED_TRACE(c.name);
        const std::string role = std::string(c.name) + "_" + schema_->name();
        std::string grants = "CREATE ROLE " + role + " LOGIN; GRANT USAGE ON SCHEMA " + schema_->name() + " TO " + role;
        if (c.rights)
            grants +=
                std::string("; GRANT ") + c.rights + " ON ALL TABLES IN SCHEMA " + schema_->name() + " TO " + role;
        ASSERT_TRUE(schema_->sql(grants));
        setenv("WBTRV32_SERVER", (schema_->connection() + " user=" + role).c_str(), 1);
        EXPECT_EQ(createFile(path("new.dat"), Standard::createBuffer()), B_ACCESS_DENIED);
        EXPECT_NE(serverMessage().find("permission denied"), std::string::npos);
        EXPECT_EQ(openFile(block, path("standard.dat")), c.open);
        if (c.open == B_NO_ERROR) {
            EXPECT_EQ(call.run(B_GET_FIRST, block, 0), B_NO_ERROR);
            EXPECT_EQ(serverMessage(), "");
            call.data[12] ^= 1;  // an Update that changes the record
        } else {
            EXPECT_NE(serverMessage().find("permission denied"), std::string::npos);
        }
        if (c.revokedWhileOpen) {
            ASSERT_TRUE(schema_->sql("REVOKE INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA " + schema_->name() +
                                     " FROM " + role));
        }
        if (c.open == B_NO_ERROR) {
            for (int op : {int{B_UPDATE}, int{B_INSERT}, int{B_DELETE}})
                EXPECT_EQ(refused(static_cast<std::uint16_t>(op)).find("permission denied") != std::string::npos,
                          c.revokedWhileOpen);
            if (!c.revokedWhileOpen) refused(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK);
        }
        BTRCALL(B_RESET, block.data(), nullptr, nullptr, nullptr, 0, 0);
        EXPECT_TRUE(schema_->sql("DROP OWNED BY " + role + "; DROP ROLE " + role));
    }
}

// A file's name is its bytes on both engines: the part after the last '/',
// every byte and its case as given, a backslash an ordinary byte. Each name
// here is a file of its own, and a name of UTF-8 is kept in the catalog as
// it stands, as earlier versions kept it.
TEST_P(EngineTest, AFileNameIsItsBytes) {
    const std::string names[] = {"races.dat",        "RACES.DAT",    "a\\races.dat", "r\xe4ume.dat",
                                 "r\xc3\xa4ume.dat", "\\xe4.dat",    "\\\\.dat",     "\xff\xfe.dat",
                                 "\xed\xa0\x80.dat", "\x01\x7f.dat", "\xe4.dat"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const auto length = static_cast<std::uint16_t>(16 + i);
        ASSERT_EQ(createFile(path(names[i]), createBuffer(length, {{1, 4, 0, B_TYPE_INTEGER}}), -1), B_NO_ERROR) << i;
    }
    for (std::size_t i = 0; i < std::size(names); ++i) {
        Block block{};
        ASSERT_EQ(openFile(block, path(names[i]), B_MODE_READ_ONLY), B_NO_ERROR) << i;
        Call stat{Bytes(1024)};
        ASSERT_EQ(stat.run(B_STAT, block, 0), B_NO_ERROR);
        EXPECT_EQ(getInt(stat.data, 0, 2), 16 + static_cast<int>(i)) << i;
        BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    }
    std::string kept;
    if (!onServer()) return;
    ASSERT_TRUE(schema_->sql("SELECT name FROM wbtrv_files WHERE id = 5", &kept));
    EXPECT_EQ(kept, names[4]);
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
    for (const char* name : {"races.dat", "other/races.dat"})
        ASSERT_EQ(createFile(path(name), Standard::createBuffer()), B_NO_ERROR);
    EXPECT_FALSE(std::filesystem::exists(path("races.dat")));
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

}  // namespace
}  // namespace btrieve_test
