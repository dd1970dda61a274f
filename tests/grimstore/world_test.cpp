// check-world and find over whole worlds: their exit statuses, and the JSON
// objects they write, one a line.
#include <nlohmann/json.hpp>

#include <sstream>

#include "grimstore_fixture.h"
#include "test_support/data_files.h"

namespace grimstore::test {
namespace {

std::vector<nlohmann::json> jsonLines(const std::string& out) {
    std::istringstream lines(out);
    std::vector<nlohmann::json> objects;
    for (std::string line; std::getline(lines, line);) objects.push_back(nlohmann::json::parse(line));
    return objects;
}

// A world of records 1 and 2 in every table, named "Name 1" and "Name 2".
void writeSoundWorld() {
    ASSERT_EQ(test_support::createDataFiles(), 0);
    for (const auto& table : records::kTableFiles)
        ASSERT_EQ(test_support::insertRows(table, {test_support::numberedRow(table, 1, "Name 1"),
                                                   test_support::numberedRow(table, 2, "Name 2")}),
                  0);
}

TEST_F(GrimstoreTest, CheckWorldStatusesAndReport) {
    std::filesystem::create_directory(folder() / "empty");
    ASSERT_EQ(run({"demo", path("empty"), "--records", "0"}).exitStatus, 0);
    std::filesystem::create_directory(folder() / "demo");
    ASSERT_EQ(run({"demo", path("demo")}).exitStatus, 0);
    writeSoundWorld();
    const struct {
        std::string dir;
        int exitStatus;
        std::vector<std::string> errParts;
    } cases[] = {{path("empty"), 0, {}},
                 {folder().string(), 0, {}},
                 {path("demo"), 1, {}},
                 {path("nowhere"), 2, {"is not a folder"}},
                 {path("demo/wccknms2.dat"), 2, {"is not a folder"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dir);
        const RunResult result = run({"check-world", c.dir});
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        for (const auto& part : c.errParts) EXPECT_NE(result.err.find(part), std::string::npos) << result.err;
        EXPECT_EQ(result.out.empty(), c.exitStatus != 1) << result.out;
    }

    // The demo world's traps, each one object of the six members.
    const auto problems = jsonLines(run({"check-world", path("demo")}).out);
    for (const auto& p : problems)
        for (const char* member : {"file", "record", "field", "problem", "value", "detail"})
            EXPECT_TRUE(p.contains(member)) << p.dump();
    const nlohmann::json traps[] = {
        {{"file", "wccknms2.dat"},
         {"record", 3},
         {"field", "DropItem A"},
         {"problem", "missing-record"},
         {"value", 30000},
         {"detail", "item 30000 does not exist"}},
        {{"file", "wccknms2.dat"},
         {"record", 12},
         {"field", "SpellCastNumber B"},
         {"problem", "missing-record"},
         {"value", 42},
         {"detail", "spell 42 does not exist"}},
        {{"file", "wccknms2.dat"},
         {"record", 6},
         {"field", "DeathMessage"},
         {"problem", "missing-record"},
         {"value", 99},
         {"detail", "message 99 does not exist"}},
        {{"file", "wccrace2.dat"},
         {"record", 9},
         {"field", "Name"},
         {"problem", "text-form"},
         {"value", "577261697468626f726e0067686f73746b696e20202020202020202020"},
         {"detail", "the text does not end the usual way: bytes other than blanks after the zero byte"}},
    };
    for (const auto& trap : traps) EXPECT_NE(std::ranges::find(problems, trap), problems.end()) << trap.dump();

    // A file that cannot be read is an error of its own.
    std::filesystem::remove(folder() / "wccitem2.dat");
    const RunResult missing = run({"check-world", folder().string()});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("wccitem2.dat"), std::string::npos) << missing.err;
}

TEST_F(GrimstoreTest, FindStatusesAndRecords) {
    ASSERT_EQ(run({"demo", folder().string()}).exitStatus, 0);
    const auto object = [](const std::string& file, int number, const char* name, const char* field) {
        return nlohmann::json{{"file", file}, {"number", number}, {"name", name}, {"field", field}};
    };
    const struct {
        std::vector<std::string> args;
        int exitStatus;
        std::vector<nlohmann::json> found;
    } cases[] = {
        {{folder().string(), "WHELP"}, 0, {object(path("wccknms2.dat"), 3, "Gloomhound Whelp", "Name")}},
        {{path("wccknms2.dat"), "whelp"}, 0, {object(path("wccknms2.dat"), 3, "Gloomhound Whelp", "Name")}},
        {{folder().string(), "3", "--table", "spell"},
         0,
         {object(path("wccspel2.dat"), 3, "Stoneskin Ward", "Number")}},
        {{folder().string(), "æGIS", "--field", "Name"}, 0, {object(path("wccspel2.dat"), 19, "Ægis Sunder", "Name")}},
        {{folder().string(), "no such text anywhere"}, 0, {}},
        {{folder().string(), "x", "--field", "Nope"}, 2, {}},
        {{folder().string(), "x", "--table", "rooms"}, 2, {}},
        {{path("other.dat"), "x"}, 2, {}},
        {{folder().string(), "\xe2\x82\xac"}, 2, {}},  // a euro sign: no code page 437 byte holds it
        {{path("gone.dat"), "x", "--table", "item"}, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        std::vector<std::string> args{"find"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult result = run(args);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << result.err;
        EXPECT_EQ(jsonLines(result.out), c.found);
        EXPECT_EQ(result.err.empty(), c.exitStatus == 0) << result.err;
    }
}

}  // namespace
}  // namespace grimstore::test
