// history, revert, as-of, diff, changes and apply on a world in files and on the
// test server: what each shows, that taking changes back gives the records back
// byte for byte, and that a change set applies whole or not at all.
#include <wbtrv32/client.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "gamedata/record_formatter.h"
#include "grimstore_fixture.h"
#include "records/tables.h"
#include "test_support/server_schema.h"
#include "time_text.h"

namespace grimstore::test {
namespace {

namespace client = wbtrv::client;
using Json = nlohmann::ordered_json;

enum class Place { Files, Server };

// Two demo worlds: "staging" in files, "live" in files or on the server.
class WorldTest : public GrimstoreTest, public testing::WithParamInterface<Place> {
protected:
    void SetUp() override {
        if (GetParam() == Place::Server) {
            if (!test_support::ServerSchema::available()) GTEST_SKIP() << "no test server (GRIM_TEST_PG)";
            server.emplace();
            unsetenv("WBTRV32_SERVER");  // the live folder names it
            std::filesystem::create_directory(path("live"));
            std::ofstream(path("live/wbtrv32.server")) << server->connection() << '\n';
        }
        for (const char* world : {"staging", "live"}) ASSERT_EQ(run({"demo", path(world)}).exitStatus, 0);
    }

    // Opens the file on the record with that number (key 0 of 2 or 4 bytes).
    static void find(client::File& file, const std::string& name, int32_t number, uint32_t width = 2) {
        ASSERT_EQ(file.open(name), 0) << name;
        std::vector<uint8_t> key(width);
        for (uint32_t i = 0; i < width; ++i) key[i] = static_cast<uint8_t>(number >> (8 * i));
        ASSERT_EQ(file.find(client::Find::Equal, 0, key), 0) << name << " " << number;
    }
    // Sets one field of a record through the record descriptions, as the editor would.
    static void setField(const std::string& name, int32_t number, const std::string& field, const Json& value,
                         uint32_t width = 2) {
        client::File file;
        find(file, name, number, width);
        const auto length = static_cast<uint32_t>(file.record().size());
        Json fields = gamedata::recordFormatter(std::filesystem::path(name).filename().string(), length)(file.record());
        fields[field] = value;
        const auto encoded = gamedata::recordEncoder(std::filesystem::path(name).filename().string(), length)(fields);
        ASSERT_EQ(encoded.error, "");
        ASSERT_EQ(file.update(encoded.bytes), 0);
    }
    static void remove(const std::string& name, int32_t number) {
        client::File file;
        find(file, name, number);
        ASSERT_EQ(file.remove(), 0);
    }
    // A copy of record `from` under number `to` (a 2-byte number at the record's start).
    static void insertCopy(const std::string& name, int32_t from, int32_t to) {
        client::File file;
        find(file, name, from);
        std::vector<uint8_t> copy(file.record().begin(), file.record().end());
        copy[0] = static_cast<uint8_t>(to), copy[1] = static_cast<uint8_t>(to >> 8);
        ASSERT_EQ(file.insert(copy), 0);
    }
    std::string out(const std::vector<std::string>& args, int exitStatus = 0) {
        const RunResult result = run(args);
        EXPECT_EQ(result.exitStatus, exitStatus) << result.out << result.err;
        return exitStatus == 0 ? result.out : result.err;
    }
    // The moment before the next change, in the journal's terms.
    static std::string now() {
        const auto micros =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
                .count();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return formatUtc(micros);
    }

    std::optional<test_support::ServerSchema> server;
};

TEST_P(WorldTest, HistoryRevertAndAsOf) {
    const std::string races = path("live/wccrace2.dat"), back = path("live/back.dat");
    const Bytes original = saved("live/wccrace2.dat");
    const std::string before = now();
    setField(races, 2, "CP", 47);  // entries 13 to 15 follow the demo's 12 inserts
    remove(races, 3);
    insertCopy(races, 1, 20);
    const std::string record = out({"history", races, "--record", "2", "--json"});
    const auto line = Json::parse(record.substr(0, record.find('\n')));
    EXPECT_EQ(line["seq"], 13);
    EXPECT_EQ(line["operation"], "update");
    EXPECT_EQ(line["fields"].size(), 1u);
    EXPECT_EQ(line["fields"]["CP"][1], 47);
    const std::string history = out({"history", races, "--since", "13"});
    EXPECT_EQ(history.rfind("15  ", 0), 0u) << history;
    EXPECT_NE(history.find("\n13  "), std::string::npos) << history;
    EXPECT_NE(history.find("update  record 2, key 2  "), std::string::npos) << history;
    EXPECT_NE(history.find(" → 47\n"), std::string::npos) << history;
    EXPECT_EQ(history.find("\n12  "), std::string::npos) << history;
    EXPECT_EQ(out({"history", races, "--since", before}), history);

    // as-of reads the changes back into a new file, keys and all.
    EXPECT_NE(out({"as-of", races, before, back}).find("3 changes taken back"), std::string::npos);
    EXPECT_EQ(saved("live/back.dat"), original);
    const auto layout = [this](const std::string& file) {
        const std::string stat = run({"stat", file}).out;
        return stat.substr(stat.find('\n'));
    };
    EXPECT_EQ(layout(back), layout(races));
    EXPECT_NE(out({"as-of", races, before, back}, 1).find("exists"), std::string::npos);
    EXPECT_NE(out({"as-of", races, "2000-01-01", back, "--replace"}).find(": 0 records"), std::string::npos);

    // Taking the changes back, newest first, gives the records back; a record that
    // changed after the entry is refused unless forced.
    const struct {
        const char* sequence;
        bool force;
        int exitStatus;
        const char* says;
    } reverts[] = {
        {"15", false, 0, "the record is deleted"},  // entry 16
        {"14", false, 0, "the record is back"},     // 17
        {"13", false, 0, "CP 47 → "},               // 18
        {"18", false, 0, " → 47"},                  // 19
        {"13", false, 1, "changed after it, in entries 18, 19"},
        {"13", true, 0, "CP 47 → "},  // 20
        {"99", false, 1, "no entry 99"},
    };
    for (const auto& r : reverts) {
        SCOPED_TRACE(r.sequence);
        std::vector<std::string> args{"revert", races, r.sequence};
        if (r.force) args.push_back("--force");
        EXPECT_NE(out(args, r.exitStatus).find(r.says), std::string::npos);
    }
    EXPECT_EQ(saved("live/wccrace2.dat"), original);
    EXPECT_NE(out({"history", path("live/none.dat")}, 1).find("status 12"), std::string::npos);
}

TEST_P(WorldTest, ChangeSetsCarryFromStagingToLive) {
    const std::string staging = path("staging"), live = path("live"), set = path("set.jsonl");
    const std::string since = now();
    setField(staging + "/wccrace2.dat", 2, "CP", 47);
    remove(staging + "/wccspel2.dat", 3);
    setField(staging + "/wccknms2.dat", 4, "HP", 12, 4);
    insertCopy(staging + "/wccmsg2.dat", 1, 500);
    const std::string diff = out({"diff", live, staging});
    for (const char* says : {"wccrace2.dat: key 2: CP ", "wccknms2.dat: key 4: HP ", "wccmsg2.dat: key 500: only in B",
                             "wccspel2.dat: key 3: only in A", "wccclas2.dat: 10 the same, 0 differ, 0 only in A, 0"})
        EXPECT_NE(diff.find(says), std::string::npos) << says << "\n" << diff;
    const auto json = Json::parse(out({"diff", live + "/wccknms2.dat", staging + "/wccknms2.dat", "--json"}));
    EXPECT_EQ(json["key"], 4);
    EXPECT_EQ(json["fields"]["HP"][1], 12);

    std::vector<std::string> changes{"changes", "--since", since, "-o", set};
    for (const auto& table : records::kTableFiles) changes.push_back(staging + "/" + std::string(table.fileName));
    EXPECT_EQ(out(changes), "wrote 4 changes to " + set + "\n");

    // One conflict stops every change; the conflict names the field that differs.
    const Bytes liveMessages = saved("live/wccmsg2.dat");
    setField(live + "/wccrace2.dat", 2, "HPBonus", 9);
    const std::string one = out({"apply", set, live}, 1);
    EXPECT_NE(one.find("key 2 (line 1, entry 13): expected → found: HPBonus "), std::string::npos) << one;
    EXPECT_NE(one.find("1 conflict; nothing was applied"), std::string::npos) << one;
    EXPECT_EQ(saved("live/wccmsg2.dat"), liveMessages);
    ASSERT_EQ(run({"revert", live + "/wccrace2.dat", "13"}).exitStatus, 0);

    EXPECT_NE(out({"apply", set, live, "--dry-run"}).find("would update " + live + "/wccrace2.dat key 2: CP "),
              std::string::npos);
    EXPECT_EQ(saved("live/wccmsg2.dat"), liveMessages);
    EXPECT_NE(out({"apply", set, live}).find("applied 4 changes"), std::string::npos);
    for (const auto& table : records::kTableFiles)
        EXPECT_EQ(saved("live/" + std::string(table.fileName)), saved("staging/" + std::string(table.fileName)));

    // Applied again, every change conflicts.
    const std::string again = out({"apply", set, live}, 1);
    for (const char* says : {"expected → found: CP ", "key 500 (line 4, entry 44): the key is taken",
                             "the record is not there", "4 conflicts; nothing was applied"})
        EXPECT_NE(again.find(says), std::string::npos) << says << "\n" << again;
    EXPECT_NE(out({"apply", path("none.jsonl"), live}, 1).find("cannot be read"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Places, WorldTest, testing::Values(Place::Files, Place::Server),
                         [](const auto& info) { return info.param == Place::Files ? "Files" : "Server"; });

}  // namespace
}  // namespace grimstore::test
