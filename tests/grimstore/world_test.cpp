// check-world and find over whole worlds: their exit statuses, and the JSON
// objects they write, one a line; and the world's reads, in batches of the record
// manager or one record a call where it refuses them, in files and on a server.
#include <wbtrv32/bytes.h>
#include <nlohmann/json.hpp>

#include <climits>
#include <optional>
#include <sstream>
#include <tuple>

#include "gamedata/demo_world.h"
#include "grimstore_fixture.h"
#include "test_support/data_files.h"
#include "test_support/server_schema.h"
#include "world/text_search.h"
#include "world/where_used.h"
#include "world/world_check.h"

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

// The record manager behind a counter of the calls that read, refusing Get Next
// Extended (as an older library would) once it has answered `batchesAllowed`.
struct CountedReads {
    int batchesAllowed = INT_MAX;
    int batches = 0, batchRecords = 0, recordCalls = 0;

    wbtrv::client::EntryPoint entryPoint() {
        return [this](std::uint16_t op, void* block, void* data, std::uint32_t* length, void* key,
                      std::uint8_t keyLength, std::int8_t keyNumber) -> wbtrv::client::Status {
            if (op == B_GET_NEXT_EXTENDED && batches >= batchesAllowed) return B_INVALID_OPERATION;
            const auto status = BTRCALL(op, block, data, length, key, keyLength, keyNumber);
            if (op == B_GET_NEXT) ++recordCalls;
            if (op == B_GET_NEXT_EXTENDED && *length >= 2) {
                ++batches;
                batchRecords += static_cast<const std::uint8_t*>(data)[0] | static_cast<const std::uint8_t*>(data)[1]
                                                                                << 8;
            }
            return status;
        };
    }
};

// What Where Used, Find Next, the world check and a reader of small batches make of
// the demo world, so that the batched reads and the walk can be held side by side.
struct WorldReads {
    std::vector<std::tuple<int, std::int32_t, std::string>> uses;  // table, monster, field
    std::vector<std::int32_t> findNext;
    std::vector<std::tuple<int, std::int32_t, std::string, std::string, std::string, std::string>> problems;
    std::vector<std::int32_t> numbers;

    bool operator==(const WorldReads&) const = default;
};

WorldReads readWorld(const std::filesystem::path& dir, CountedReads& counted, CountedReads& whereUsedCalls) {
    WorldReads read;
    wbtrv::client::Status status = 0;
    world::ReadFiles whereUsedFiles(dir, whereUsedCalls.entryPoint());
    std::vector<world::Use> uses;
    EXPECT_TRUE(world::WhereUsed(records::TableId::Items, 17).readAll(whereUsedFiles, uses, status)) << status;
    for (const world::Use& u : uses) read.uses.emplace_back(static_cast<int>(u.table), u.number, u.label);

    world::ReadFiles files(dir, counted.entryPoint());
    const world::TextSearch coin(records::TableId::Items, "coin");
    for (std::int32_t after : {INT32_MIN, 0, 21, INT32_MAX})
        read.findNext.push_back(
            world::nextMatch(*files.file(records::TableId::Items), coin, after, status).value_or(0));

    world::WorldCheck check(files);
    std::vector<world::Problem> problems;
    while (check.step(problems)) {}
    EXPECT_EQ(check.status(), 0);
    for (const world::Problem& p : problems) {
        EXPECT_NE(wbtrv::client::recordAt(p.position), 0) << p.detail;
        read.problems.emplace_back(static_cast<int>(p.table), p.record, p.field, p.problem, p.detail,
                                   wbtrv::hex(p.position));
    }

    const world::RowField number = world::numberField(records::TableId::Monsters);
    world::BatchReader reader(*files.file(records::TableId::Monsters), records::tableFile(records::TableId::Monsters),
                              {{}, {number}, 3});
    world::Batch batch;
    for (bool more = true; more;) {
        more = reader.next(batch);
        for (std::size_t i = 0; i < batch.size(); ++i)
            read.numbers.push_back(static_cast<std::int32_t>(world::numberIn(batch.record(i))));
    }
    EXPECT_EQ(reader.status(), 0);
    return read;
}

// The same answers whether the record manager reads in batches, refuses them from the
// start or after the first one; batches replace the walk, and Where Used's filter lets
// only the monsters that name the item travel.
TEST_F(GrimstoreTest, WorldReadsInBatchesOrOneRecordACall) {
    for (const bool onServer : {false, true}) {
        if (onServer && !test_support::ServerSchema::available()) continue;
        SCOPED_TRACE(onServer ? "on the server" : "in files");
        std::optional<test_support::ServerSchema> server;
        if (onServer) server.emplace();
        const std::filesystem::path dir = folder() / (onServer ? "server" : "files");
        std::filesystem::create_directory(dir);
        ASSERT_TRUE(gamedata::writeDemoWorld(dir, {}).ok());
        const struct {
            const char* name;
            int batchesAllowed;
        } cases[] = {{"batched", INT_MAX}, {"refused", 0}, {"refused after one batch", 1}};
        std::optional<WorldReads> batched;
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            CountedReads counted{c.batchesAllowed}, whereUsedCalls{c.batchesAllowed};
            const WorldReads read = readWorld(dir, counted, whereUsedCalls);
            if (!batched) {
                batched = read;
                EXPECT_EQ(read.uses,
                          (decltype(read.uses){{static_cast<int>(records::TableId::Monsters), 2, "DropItem A"},
                                               {static_cast<int>(records::TableId::Monsters), 7, "DropItem A"}}));
                EXPECT_EQ(read.findNext, (std::vector<std::int32_t>{21, 21, INT32_MAX, INT32_MIN}));
                EXPECT_TRUE(std::ranges::is_sorted(read.numbers));
                EXPECT_EQ(counted.recordCalls, 0);
                EXPECT_EQ(whereUsedCalls.recordCalls, 0);
                EXPECT_EQ(whereUsedCalls.batchRecords, 2) << "only the monsters that name the item";
            } else {
                EXPECT_EQ(read, *batched);
                EXPECT_GT(counted.recordCalls, 0);
            }
        }
    }
}

}  // namespace
}  // namespace grimstore::test
