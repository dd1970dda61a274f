// Writing the demo world: sound files holding exactly the records the world
// defines, refusal to overwrite or of bad arguments, generated worlds, and the
// layout-aware dump, stat and check of grimstore over them.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <wbtrv32/btrieve.h>

#include "../grimstore/grimstore_fixture.h"
#include "gamedata/demo_world.h"
#include "gamedata/record_formatter.h"
#include "test_support/data_files.h"

namespace gamedata {
namespace {

using records::TableId;

std::size_t storedCount(TableId table) { return test_support::readRows(records::tableFile(table)).size(); }

// The JSON objects of an output, one a line.
std::vector<RecordJson> jsonLines(const std::string& out) {
    std::istringstream lines(out);
    std::vector<RecordJson> objects;
    for (std::string line; std::getline(lines, line);) objects.push_back(RecordJson::parse(line));
    return objects;
}

using DemoWorld = grimstore::test::GrimstoreTest;
using grimstore::test::RunResult;

TEST_F(DemoWorld, WritesSixSoundFilesAndRefusesToOverwrite) {
    const DemoResult result = writeDemoWorld(folder(), {});
    ASSERT_TRUE(result.ok()) << result.error;
    std::size_t total = 0;
    for (const auto& table : records::kTableFiles) {
        SCOPED_TRACE(std::string(table.fileName));
        const auto rows = test_support::readRows(table);
        EXPECT_EQ(rows, demoRecords(table.id, {})) << "read back in key order";
        std::array<char, 256> message{};
        EXPECT_EQ(BTRVERIFY(std::string(table.fileName).c_str(), message.data(), message.size()), 0) << message.data();
        total += rows.size();
    }
    EXPECT_EQ(result.recordsWritten, total);

    const DemoResult again = writeDemoWorld(folder(), {std::uint32_t{3}, false});
    EXPECT_NE(again.error.find("wccrace2.dat already exists"), std::string::npos) << again.error;
    EXPECT_EQ(storedCount(TableId::Messages), demoRecords(TableId::Messages, {}).size()) << "nothing was replaced";
    ASSERT_TRUE(writeDemoWorld(folder(), {std::uint32_t{3}, true}).ok());
    EXPECT_EQ(storedCount(TableId::Messages), 3u);

    // One existing file stops the whole world before anything is written.
    const auto other = folder() / "other";
    std::filesystem::create_directory(other);
    std::ofstream(other / "wccmsg2.dat") << "not a data file";
    const DemoResult oneExists = writeDemoWorld(other, {});
    EXPECT_NE(oneExists.error.find("wccmsg2.dat"), std::string::npos) << oneExists.error;
    EXPECT_FALSE(std::filesystem::exists(other / "wccrace2.dat"));
}

// Every byte the editor never shows is non-zero, so code that drops them is caught.
// Past the highest 2-byte number only the tables of 4-byte numbers go on.
TEST(DemoRecords, HiddenBytesAreNonZeroAndOnlyLongNumbersGoPastTheShortOnes) {
    for (const auto& table : records::kTableFiles) {
        const RecordFormatter format = recordFormatter(table.fileName, table.recordLength);
        const auto many = demoRecords(table.id, {kMaxShortNumber + 1, false});
        const std::uint32_t n = table.numberWidth == 2 ? kMaxShortNumber : kMaxShortNumber + 1;
        ASSERT_EQ(many.size(), n) << table.fileName;
        EXPECT_EQ(format(many.back())["Number"], n);
        for (const auto& row : demoRecords(table.id, {})) {
            const RecordJson fields = format(row);
            for (const auto& [name, value] : fields.items()) {
                if (name.find("Hidden") == std::string::npos && name != "tail") continue;
                const std::string hex = value.get<std::string>();
                ASSERT_FALSE(hex.empty());
                for (std::size_t i = 0; i < hex.size(); i += 2)
                    EXPECT_NE(hex.substr(i, 2), "00") << table.fileName << " " << fields["Number"] << " " << name;
            }
        }
    }
}

// grimstore demo writes the same world; the dump's "fields" encode back to exactly
// the records of the file. On several files at once: stat --json writes one object per
// file, check reports each and fails when one fails, dump names each line's file;
// --layout decodes a renamed copy.
TEST_F(DemoWorld, GrimstoreDemoDumpStatCheckAndLayout) {
    ASSERT_EQ(run({"demo", folder().string()}).exitStatus, 0);
    EXPECT_EQ(run({"demo", folder().string()}).exitStatus, 1) << "no overwrite without --force";
    EXPECT_EQ(run({"demo", folder().string(), "--records", std::to_string(kMaxDemoRecords + 1), "--force"}).exitStatus,
              2);
    EXPECT_EQ(run({"demo", (folder() / "new" / "deeper").string()}).exitStatus, 0) << "makes its folders";
    for (const auto& table : records::kTableFiles) {
        SCOPED_TRACE(std::string(table.fileName));
        const RunResult dump = run({"dump", std::string(table.fileName)});
        ASSERT_EQ(dump.exitStatus, 0) << dump.err;
        const RecordEncoder encode = recordEncoder(table.fileName, table.recordLength);
        std::vector<test_support::Row> rows;
        std::map<std::string, std::string> typeOf;  // a field's JSON type in the first record
        for (const RecordJson& parsed : jsonLines(dump.out)) {
            for (const auto& [name, value] : parsed["fields"].items()) {
                const std::string type = value.is_number() ? "number" : value.type_name();
                EXPECT_EQ(typeOf.try_emplace(name, type).first->second, type) << name << " changes type";
            }
            EXPECT_EQ(parsed["keys"][0], parsed["fields"]["Number"]);
            const EncodedRecord back = encode(parsed["fields"]);
            ASSERT_TRUE(back.error.empty()) << back.error;
            rows.push_back(back.bytes);
        }
        EXPECT_EQ(rows, demoRecords(table.id, {}));
    }

    const std::string races = (folder() / "wccrace2.dat").string();
    const std::string classes = (folder() / "wccclas2.dat").string();
    const std::string backup = (folder() / "races.bak").string();
    std::filesystem::copy_file(races, backup);

    const RunResult stat = run({"stat", "--json", races, classes});
    ASSERT_EQ(stat.exitStatus, 0) << stat.err;
    const std::vector<RecordJson> objects = jsonLines(stat.out);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]["file"], races);
    EXPECT_EQ(objects[0]["records"], 12);
    EXPECT_EQ(objects[1]["records"], 10);
    EXPECT_EQ(objects[1]["keys"][0][0]["position"], 1);

    const RunResult check = run({"check", races, "missing.dat", classes});
    EXPECT_EQ(check.exitStatus, 1);
    EXPECT_NE(check.out.find("wccclas2.dat: sound, 10 records"), std::string::npos) << check.out;
    EXPECT_NE(check.err.find("missing.dat"), std::string::npos) << check.err;

    const RunResult both = run({"dump", races, classes});
    ASSERT_EQ(both.exitStatus, 0) << both.err;
    EXPECT_EQ(jsonLines(both.out)[0]["file"], races);

    EXPECT_EQ(run({"dump", backup}).out.find("\"fields\""), std::string::npos);
    const RunResult named = run({"dump", "--layout", "race", backup});
    ASSERT_EQ(named.exitStatus, 0) << named.err;
    EXPECT_EQ(jsonLines(named.out)[0]["fields"]["Name"], "Fenwight");
    const RunResult wrong = run({"dump", "--layout", "item", backup});
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_NE(wrong.err.find("item layout"), std::string::npos) << wrong.err;
}

}  // namespace
}  // namespace gamedata
