// copy carries keys, collating sequences and records between files and the
// server, either way, and a refused or failed copy leaves the target as it
// was: absent when it was new, unchanged when it was to be replaced.
#include "grimstore_fixture.h"

#include <cstdlib>
#include <fstream>
#include <optional>

#include "test_support/server_schema.h"

#include <wbtrv32/client.h>
#include <wbtrv32/create_entries.h>

namespace grimstore::test {
namespace {

enum class Place { Files, Server };

// What another program does to the source, an SQLite file, behind the record manager's back.
// Its second record one byte long: the source cannot be read whole.
constexpr const char* kShortRecord = "UPDATE data_t SET data = x'00' WHERE id = 2";
// Its first record's autoincrement value 0: the copy assigns it one, so it reads back otherwise.
constexpr const char* kZeroCounter = "UPDATE data_t SET data = x'000000006262626262626262', key_0 = 0 WHERE id = 1";

struct CopyCase {
    const char* name;
    std::vector<std::string> targetKeys;  // of a target that exists before the copy; empty: none
    bool replace;
    const char* damage;   // SQL run on the source, or nullptr
    const char* message;  // in the output
};

class CopyTest : public GrimstoreTest, public testing::WithParamInterface<std::pair<Place, Place>> {
protected:
    std::optional<test_support::ServerSchema> server;
};

TEST_P(CopyTest, CarriesKeysAndRecordsAllOrNothing) {
    const auto [fromPlace, toPlace] = GetParam();
    const auto folder = [](Place place) { return std::string(place == Place::Files ? "files/" : "server/"); };
    for (Place place : {Place::Files, Place::Server}) std::filesystem::create_directory(path(folder(place)));
    if (fromPlace == Place::Server || toPlace == Place::Server) {
        if (!test_support::ServerSchema::available()) GTEST_SKIP() << "no test server (GRIM_TEST_PG)";
        server.emplace();
        // The server's place is the folder naming it; files elsewhere stay files.
        unsetenv("WBTRV32_SERVER");
        std::ofstream(path("server/wbtrv32.server")) << server->connection() << '\n';
    }
    const std::vector<std::string> same{"1:4:autoinc", "5:8:string:nocase,dup"}, other{"5:4:unsigned"};
    const CopyCase cases[] = {
        {"new file", {}, false, nullptr, "verified along key 0: 3 records, checksum"},
        {"existing file kept", same, false, nullptr, "exists; --replace writes over it"},
        {"replaced, same keys", same, true, nullptr, "verified"},
        {"replaced, other keys", other, true, nullptr, "verified"},
        {"unreadable, new file", {}, false, kShortRecord, "nothing was copied"},
        {"unreadable, over a file", same, true, kShortRecord, "nothing was copied"},
        {"reads back otherwise, new file", {}, false, kZeroCounter, "reads back as"},
        {"reads back otherwise, over a file", same, true, kZeroCounter, "the file is unchanged"},
    };
    const auto keysOf = [&](const std::string& name) {  // stat without the file's name
        const std::string stat = run({"stat", path(name)}).out;
        return stat.substr(stat.find('\n'));
    };
    const auto journal = [&](const std::string& name) {
        wbtrv::client::JournalState state;
        EXPECT_EQ(wbtrv::client::journalState(path(name), state), B_NO_ERROR);
        return state;
    };
    int number = 0;
    for (const CopyCase& c : cases) {
        if (c.damage && fromPlace == Place::Server) continue;  // damage is made in an SQLite file
        SCOPED_TRACE(c.name);
        // A target of its own per case: a file on the server cannot be removed between them.
        const std::string from = folder(fromPlace) + "from.dat";
        const std::string to = folder(toPlace) + "to" + std::to_string(++number) + ".dat";
        create(from, 12, same);
        loadRecords(from, {record(0, 12, {'b'}), record(0, 12, {'A'}), record(9, 12, {0x1A, 0})});
        if (c.damage) execSql(from, c.damage);
        const bool existed = !c.targetKeys.empty(), copied = !c.damage && (!existed || c.replace);
        if (existed) {
            create(to, 12, c.targetKeys);
            loadRecords(to, {record(7, 12, {'t'})});
        }
        const Bytes before = existed ? saved(to) : Bytes{};
        std::vector<std::string> args{"copy", path(from), path(to)};
        if (c.replace) args.push_back("--replace");
        const RunResult result = run(args);
        EXPECT_EQ(result.exitStatus, copied ? 0 : 1) << result.err;
        EXPECT_NE((result.out + result.err).find(c.message), std::string::npos) << result.out << result.err;
        if (copied) {
            EXPECT_EQ(saved(to), saved(from));
            EXPECT_EQ(keysOf(to), keysOf(from));
            // A file the copy made starts its journal at the copy; one of the same keys
            // replaced journals its emptying (1) and filling (3) after its own load (1).
            const uint64_t journaled = c.targetKeys == same ? 5 : 0;
            EXPECT_TRUE(journal(to).on && journal(to).entries == journaled);
            loadRecords(to, {record(0, 12, {'z'})});
            EXPECT_EQ(journal(to).entries, journaled + 1);
        } else if (existed) {
            EXPECT_EQ(saved(to), before);
        } else if (toPlace == Place::Files) {
            EXPECT_FALSE(std::filesystem::exists(path(to)));
        } else {  // a file made on a server cannot be removed: none, or one without records
            const RunResult left = run({"save", path(to), "-"});
            EXPECT_TRUE(left.exitStatus == 1 || (left.out == "\x1A" && journal(to).on)) << left.out;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Places, CopyTest,
                         testing::Values(std::pair{Place::Files, Place::Files}, std::pair{Place::Files, Place::Server},
                                         std::pair{Place::Server, Place::Files}),
                         [](const auto& info) {
                             const auto name = [](Place p) { return p == Place::Files ? "Files" : "Server"; };
                             return std::string(name(info.param.first)) + "To" + name(info.param.second);
                         });

// A collating sequence named in a DOS code page (bytes that are not UTF-8)
// goes onto a server and back unchanged, records and all; and a role the
// server refuses reads sees the server's own words beside the status.
TEST_F(GrimstoreTest, ACodePageCollatingSequenceGoesToTheServerAndBack) {
    if (!test_support::ServerSchema::available()) GTEST_SKIP() << "no test server (GRIM_TEST_PG)";
    const test_support::ServerSchema server;
    unsetenv("WBTRV32_SERVER");
    std::filesystem::create_directory(path("server"));
    std::ofstream(path("server/wbtrv32.server")) << server.connection() << '\n';
    Bytes sequence{0xAC, 0x8E, 'G', 'R', 'O', 0xE1, 0x99, ' ', ' '};  // "ÄGROßÖ" in code page 437
    for (int b = 0; b < 256; ++b) sequence.push_back(static_cast<uint8_t>(b >= 'a' && b <= 'z' ? b - 32 : b));
    writeFile(path("upper.alt"), sequence);
    const RunResult made = run({"create", path("from.dat"), "-r", "12", "--collating-sequence", path("upper.alt"), "-k",
                                "1:4:autoinc", "-k", "5:8:string:alt,dup"});
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    loadRecords("from.dat", {record(0, 12, {'b'}), record(0, 12, {'A'}), record(0, 12, {'a', 0x8E})});
    for (const auto& [from, to] :
         {std::pair{"from.dat", "server/races.dat"}, std::pair{"server/races.dat", "back.dat"}}) {
        const RunResult copied = run({"copy", path(from), path(to)});
        ASSERT_EQ(copied.exitStatus, 0) << copied.err;
    }
    EXPECT_EQ(saved("back.dat"), saved("from.dat"));
    const auto stat = [&](const std::string& name) {
        wbtrv::client::File file;
        wbtrv::CreateEntries entries;
        EXPECT_EQ(file.open(path(name)), B_NO_ERROR);
        EXPECT_EQ(file.stat(entries), B_NO_ERROR);
        return wbtrv::buildCreateBuffer(entries);
    };
    EXPECT_EQ(stat("back.dat"), stat("from.dat"));

    const std::string blind = "blind_" + server.name();
    ASSERT_TRUE(server.sql("CREATE ROLE " + blind + " LOGIN; GRANT USAGE ON SCHEMA " + server.name() + " TO " + blind));
    std::ofstream(path("server/wbtrv32.server")) << server.connection() << " user=" << blind << '\n';
    const RunResult refused = run({"stat", path("server/races.dat")});
    EXPECT_NE(refused.err.find("46 (access denied) (the server: permission denied for "), std::string::npos)
        << refused.err;
    EXPECT_TRUE(server.sql("DROP OWNED BY " + blind + "; DROP ROLE " + blind));
}

}  // namespace
}  // namespace grimstore::test
