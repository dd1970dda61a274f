// What only a file on a database server meets: tables on the server that are
// not ours, a server that goes away under an open file or stops answering,
// roles the server refuses rights (and its own words on why), logins it
// refuses, a server named by the data folder rather than the environment
// (worlds in two schemas keeping their locks apart; a folder's server file
// trusted only when safe), and a connection string whose password must never
// show.
#include "btrieve_fixture.h"
#include "child_process.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <tuple>

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
    // with the server's words on why; a string libpq cannot read: 35. The
    // password of the connection string is in no message, nor is a string
    // libpq cannot read.
    ASSERT_EQ(call.run(B_CLOSE, block, 0), B_NO_ERROR);
    const std::tuple<const char*, const char*, std::int16_t> unreachable[] = {
        {"host=/nonexistent user=grim password=s3cret-w0rd connect_timeout=2", "/nonexistent", B_SERVER_LOST},
        {"host=/s3cret-w0rd user=grim password=s3cret-w0rd connect_timeout=2", "/***/", B_SERVER_LOST},
        {"postgresql://grim:s3cret-w0rd@%2Fnonexistent/db?s3cret-w0rd=1", "connection string", B_DIRECTORY_ERROR},
    };
    for (const auto& [server, words, expected] : unreachable) {
        SCOPED_TRACE(server);
        setenv("WBTRV32_SERVER", server, 1);
        EXPECT_EQ(openFile(block, path("standard.dat")), expected);
        const std::string said = serverMessage();
        EXPECT_EQ(said.find("s3cret"), std::string::npos) << said;
        EXPECT_NE(said.find(words), std::string::npos) << said;
        std::string message;
        EXPECT_EQ(verify(path("standard.dat"), message), expected);
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

// Logins the server refuses are not a lost server, and say why: a wrong or
// missing password and an unknown role answer 46, a database the server does
// not have or a connection string libpq cannot read 35, a role (or server)
// with no connection left 85. Nothing answers 20 but a server not there.
TEST_P(ServerTest, RefusedLoginsAnswerTheirOwnStatusesAndSayWhy) {
    const struct {
        const char* added;
        std::int16_t status;
        const char* why;
    } cases[] = {
        {" user=grim_password password=wrong", B_ACCESS_DENIED, "password authentication failed"},
        {" user=grim_password", B_ACCESS_DENIED, "no password supplied"},
        {" user=no_such_role", B_ACCESS_DENIED, "role \"no_such_role\" does not exist"},
        {" dbname=no_such_database", B_DIRECTORY_ERROR, "database \"no_such_database\" does not exist"},
        {" no_such_keyword=1", B_DIRECTORY_ERROR, "the connection string cannot be read"},
        {" user=grim_limited", B_FILE_IN_USE, "too many connections"},
        {" host=/nonexistent", B_SERVER_LOST, "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.added);
        setenv("WBTRV32_SERVER", (schema_->connection() + c.added).c_str(), 1);
        EXPECT_EQ(createFile(path("races.dat"), Standard::createBuffer()), c.status);
        Block block{};
        EXPECT_EQ(openFile(block, path("races.dat")), c.status);
        std::string message;
        EXPECT_EQ(verify(path("races.dat"), message), c.status);
        EXPECT_NE(message.find(c.why), std::string::npos) << message;
    }
}

// The backend of the process's session stops (SIGSTOP) with a transaction
// open: the next call answers 20 once its deadline (WBTRV32_SERVER_DEADLINE_MS,
// here below the least allowed, a lock wait and a second: 6 s) has passed, and
// the calls after it at once. Resumed, the server ends that session, its
// locks and its transaction with it; a file opened again works.
TEST_P(ServerTest, AServerThatStopsAnsweringCostsACallItsDeadline) {
    setenv("WBTRV32_SERVER_DEADLINE_MS", "1", 1);
    Block block{};
    openStandard(block);
    unsetenv("WBTRV32_SERVER_DEADLINE_MS");
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    ASSERT_EQ(schema_->sessions(1), 1) << "the Create's connection is gone";
    std::string pid;
    ASSERT_TRUE(
        schema_->sql("SELECT pid FROM pg_stat_activity WHERE application_name = '" + schema_->name() + "'", &pid));
    ASSERT_FALSE(pid.empty());
    ASSERT_EQ(kill(std::stoi(pid), SIGSTOP), 0);
    const auto started = std::chrono::steady_clock::now();
    const std::int16_t status = call.run(B_GET_FIRST, block, 0);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(call.run(B_GET_LAST, block, 0), B_SERVER_LOST);
    const auto after = std::chrono::steady_clock::now() - started - waited;
    kill(std::stoi(pid), SIGCONT);
    EXPECT_EQ(status, B_SERVER_LOST);
    EXPECT_GE(waited, std::chrono::milliseconds(5900));
    EXPECT_LT(waited, std::chrono::seconds(9));
    EXPECT_LT(after, std::chrono::seconds(1));
    EXPECT_EQ(BTRCALL(B_ABORT_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_SERVER_LOST);
    EXPECT_EQ(call.run(B_CLOSE, block, 0), B_NO_ERROR);
    EXPECT_EQ(schema_->sessions(0), 0);
    ASSERT_EQ(openFile(block, path("standard.dat")), B_NO_ERROR);
    std::int16_t read = B_NO_ERROR;
    EXPECT_TRUE(readAll(block, read).empty()) << "the transaction's insert went with its session";
    EXPECT_EQ(read, B_NO_ERROR);
}

// Over TCP the server's end of the session probes a silent client and gives
// up on unacknowledged sends, so a client whose machine vanished loses its
// locks and transaction within about 30 seconds: the settings as the
// session's own statements see them (a trigger records them).
TEST_P(ServerTest, TheServerNoticesAVanishedClientOverTcp) {
    const char* tcp = std::getenv("GRIM_TEST_PG_TCP");
    if (!tcp || !*tcp) GTEST_SKIP() << "no TCP address of the test server (scripts/with-postgres)";
    setenv("WBTRV32_SERVER", schema_->connection().replace(0, std::strlen(std::getenv("GRIM_TEST_PG")), tcp).c_str(),
           1);
    fill(path("standard.dat"), 1, 1);
    ASSERT_TRUE(schema_->sql(
        "CREATE TABLE seen(settings text);"
        "CREATE FUNCTION note() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN INSERT INTO seen SELECT"
        " concat_ws(',', current_setting('tcp_keepalives_idle'), current_setting('tcp_keepalives_interval'),"
        " current_setting('tcp_keepalives_count'), current_setting('tcp_user_timeout')); RETURN NEW; END$$;"
        "CREATE TRIGGER note BEFORE INSERT ON wbtrv_data_1 FOR EACH ROW EXECUTE FUNCTION note()"));
    Block block{};
    ASSERT_EQ(openFile(block, path("standard.dat")), B_NO_ERROR);
    Call call{Standard::record(0, 2, 2)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    std::string seen;
    ASSERT_TRUE(schema_->sql("SELECT settings FROM seen", &seen));
    EXPECT_EQ(seen, "10,5,3,20000");
}

}  // namespace
}  // namespace btrieve_test
