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

#include "cli.h"
#include "gamedata/demo_world.h"
#include "gamedata/record_formatter.h"
#include "test_support/data_files.h"
#include "test_support/temp_folder.h"

namespace gamedata {
namespace {

using records::TableId;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

CommandRun grimstore(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    grimstore::Io io{out, err, false};
    const int status = grimstore::runGrimstore(args, io);
    return {status, out.str(), err.str()};
}

std::size_t storedCount(TableId table) { return test_support::readRows(records::tableFile(table)).size(); }

class DemoWorld : public testing::Test {
protected:
    test_support::TempFolder folder;
    std::filesystem::path dir() const { return folder.path(); }
};

TEST_F(DemoWorld, WritesSixSoundFilesHoldingTheWorldsRecords) {
    const DemoResult result = writeDemoWorld(dir(), {});
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
}

TEST_F(DemoWorld, RefusesToOverwriteAndBadArguments) {
    ASSERT_TRUE(writeDemoWorld(dir(), {std::uint32_t{3}, false}).ok());
    const DemoResult again = writeDemoWorld(dir(), {});
    EXPECT_NE(again.error.find("wccrace2.dat already exists"), std::string::npos) << again.error;
    EXPECT_EQ(storedCount(TableId::Messages), 3u) << "nothing was replaced";
    ASSERT_TRUE(writeDemoWorld(dir(), {std::nullopt, true}).ok());
    EXPECT_EQ(storedCount(TableId::Races), demoRecords(TableId::Races, {}).size());

    // One existing file stops the whole world before anything is written.
    const auto other = dir() / "other";
    std::filesystem::create_directory(other);
    std::ofstream(other / "wccmsg2.dat") << "not a data file";
    const DemoResult oneExists = writeDemoWorld(other, {});
    EXPECT_NE(oneExists.error.find("wccmsg2.dat"), std::string::npos) << oneExists.error;
    EXPECT_FALSE(std::filesystem::exists(other / "wccrace2.dat"));
}

// Past the highest 2-byte number only the tables of 4-byte numbers go on.
TEST(DemoRecords, PastTheHighestShortNumberOnlyTablesOfLongNumbersGoOn) {
    for (const TableId table : {TableId::Races, TableId::Monsters}) {
        const auto rows = demoRecords(table, {kMaxShortNumber + 1, false});
        const records::TableFile& spec = records::tableFile(table);
        const std::uint32_t n = spec.numberWidth == 2 ? kMaxShortNumber : kMaxShortNumber + 1;
        ASSERT_EQ(rows.size(), n) << spec.fileName;
        EXPECT_EQ(recordFormatter(spec.fileName, spec.recordLength)(rows.back())["Number"], n);
    }
}

// Every byte the editor never shows is non-zero, so code that drops them is caught.
TEST(DemoRecords, HiddenFieldsAndTailsHoldNoZeroByte) {
    for (const auto& table : records::kTableFiles) {
        const RecordFormatter format = recordFormatter(table.fileName, table.recordLength);
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
// the records of the file.
TEST_F(DemoWorld, GrimstoreDumpShowsNamedFieldsThatGiveTheBytesBack) {
    ASSERT_EQ(grimstore({"demo", dir().string()}).status, 0);
    EXPECT_EQ(grimstore({"demo", dir().string()}).status, 1) << "no overwrite without --force";
    EXPECT_EQ(grimstore({"demo", dir().string(), "--records", std::to_string(kMaxDemoRecords + 1), "--force"}).status,
              2);
    EXPECT_EQ(grimstore({"demo", (dir() / "new" / "deeper").string()}).status, 0) << "makes its folders";
    for (const auto& table : records::kTableFiles) {
        SCOPED_TRACE(std::string(table.fileName));
        const CommandRun dump = grimstore({"dump", std::string(table.fileName)});
        ASSERT_EQ(dump.status, 0) << dump.err;
        const RecordEncoder encode = recordEncoder(table.fileName, table.recordLength);
        std::istringstream lines(dump.out);
        std::vector<test_support::Row> rows;
        std::map<std::string, std::string> typeOf;  // a field's JSON type in the first record
        for (std::string line; std::getline(lines, line);) {
            const auto parsed = RecordJson::parse(line);
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
}

// Several files at once: stat --json writes one object per file, check reports each and
// fails when one fails, dump names each line's file; --layout decodes a renamed copy.
TEST_F(DemoWorld, GrimstoreOnSeveralFilesAndANamedLayout) {
    ASSERT_EQ(grimstore({"demo", dir().string()}).status, 0);
    const std::string races = (dir() / "wccrace2.dat").string();
    const std::string classes = (dir() / "wccclas2.dat").string();
    const std::string backup = (dir() / "races.bak").string();
    std::filesystem::copy_file(races, backup);

    const CommandRun stat = grimstore({"stat", "--json", races, classes});
    ASSERT_EQ(stat.status, 0) << stat.err;
    std::istringstream statLines(stat.out);
    std::vector<RecordJson> objects;
    for (std::string line; std::getline(statLines, line);) objects.push_back(RecordJson::parse(line));
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]["file"], races);
    EXPECT_EQ(objects[0]["recordLength"], 126);
    EXPECT_EQ(objects[0]["records"], 12);
    EXPECT_EQ(objects[1]["records"], 10);
    EXPECT_EQ(objects[1]["keys"][0][0]["position"], 1);

    const CommandRun check = grimstore({"check", races, "missing.dat", classes});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("wccclas2.dat: sound, 10 records"), std::string::npos) << check.out;
    EXPECT_NE(check.err.find("missing.dat"), std::string::npos) << check.err;

    const CommandRun both = grimstore({"dump", races, classes});
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(RecordJson::parse(both.out.substr(0, both.out.find('\n')))["file"], races);

    EXPECT_EQ(grimstore({"dump", backup}).out.find("\"fields\""), std::string::npos);
    const CommandRun named = grimstore({"dump", "--layout", "race", backup});
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(RecordJson::parse(named.out.substr(0, named.out.find('\n')))["fields"]["Name"], "Fenwight");
    const CommandRun wrong = grimstore({"dump", "--layout", "item", backup});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("item layout"), std::string::npos) << wrong.err;
}

}  // namespace
}  // namespace gamedata
