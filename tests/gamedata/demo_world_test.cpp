// Writing the demo world: files, lengths, counts, soundness, refusal to
// overwrite, and the generated record counts. The files equal what the world
// defines when generated again, so a run that is not repeatable fails too.
#include <array>
#include <fstream>

#include <wbtrv32/btrieve.h>

#include "gamedata/demo_world.h"
#include "gamedata/record_formatter.h"
#include "gamedata_fixture.h"

namespace gamedata::test {
namespace {

using records::TableId;

struct TableCount {
    TableId table;
    std::size_t records;
};

constexpr std::array<TableCount, 6> kDefaultCounts{{
    {TableId::Races, 12},
    {TableId::Classes, 10},
    {TableId::Spells, 20},
    {TableId::Monsters, 16},
    {TableId::Items, 27},
    {TableId::Messages, 43},
}};

class DemoWorldTest : public DemoFolderTest {};

TEST_F(DemoWorldTest, WritesSixSoundFilesWithTheirLengthsAndCounts) {
    const DemoResult result = writeDemoWorld(dir(), {});
    ASSERT_TRUE(result.ok()) << result.error;
    std::size_t total = 0;
    for (const auto& [table, count] : kDefaultCounts) {
        const records::TableFile& spec = records::tableFile(table);
        SCOPED_TRACE(std::string(spec.fileName));
        const ReadBack back = readAll(file(table), spec.recordLength);
        ASSERT_EQ(back.status, 0);
        EXPECT_EQ(back.records.size(), count);
        for (const std::uint32_t length : back.lengths) EXPECT_EQ(length, spec.recordLength);
        // Read back in key order, every record is the one the world defines.
        EXPECT_EQ(back.records, demoRecords(table, {}));

        std::array<char, 256> message{};
        EXPECT_EQ(BTRVERIFY(file(table).c_str(), message.data(), message.size()), 0) << message.data();
        total += count;
    }
    EXPECT_EQ(result.recordsWritten, total);
}

TEST_F(DemoWorldTest, RefusesToOverwriteWithoutForce) {
    ASSERT_TRUE(writeDemoWorld(dir(), {std::uint32_t{3}, false}).ok());
    const DemoResult again = writeDemoWorld(dir(), {});
    EXPECT_FALSE(again.ok());
    EXPECT_NE(again.error.find("wccrace2.dat"), std::string::npos) << again.error;
    EXPECT_NE(again.error.find("already exists"), std::string::npos) << again.error;
    // Nothing was replaced.
    EXPECT_EQ(readAll(file(TableId::Races), 126).records.size(), 3u);
    EXPECT_EQ(readAll(file(TableId::Messages), 256).records.size(), 3u);

    const DemoResult forced = writeDemoWorld(dir(), {std::nullopt, true});
    ASSERT_TRUE(forced.ok()) << forced.error;
    EXPECT_EQ(readAll(file(TableId::Races), 126).records.size(), 12u);
}

TEST_F(DemoWorldTest, RefusesBadArguments) {
    const DemoResult tooMany = writeDemoWorld(dir(), {kMaxDemoRecords + 1, false});
    EXPECT_FALSE(tooMany.ok());
    EXPECT_NE(tooMany.error.find(std::to_string(kMaxDemoRecords)), std::string::npos) << tooMany.error;
    const DemoResult noFolder = writeDemoWorld(dir() / "missing", {});
    EXPECT_FALSE(noFolder.ok());
    // One existing file stops the whole world before anything is written.
    std::ofstream(file(TableId::Messages)) << "not a data file";
    const DemoResult oneExists = writeDemoWorld(dir(), {});
    EXPECT_FALSE(oneExists.ok());
    EXPECT_NE(oneExists.error.find("wccmsg2.dat"), std::string::npos) << oneExists.error;
    EXPECT_FALSE(std::filesystem::exists(file(TableId::Races)));
}

TEST_F(DemoWorldTest, RecordsPerTableGivesThatManyNumberedRecords) {
    for (const std::uint32_t n : {0u, 1u, 57u}) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(writeDemoWorld(dir(), {n, true}).ok());
        for (const records::TableFile& spec : records::kTableFiles) {
            const ReadBack back = readAll(dir() / spec.fileName, spec.recordLength);
            ASSERT_EQ(back.status, 0);
            ASSERT_EQ(back.records.size(), n) << spec.fileName;
            const RecordFormatter format = recordFormatter(spec.fileName, spec.recordLength);
            for (std::uint32_t i = 0; i < n; ++i) EXPECT_EQ(format(back.records[i])["Number"], i + 1);
        }
    }
    // Past the world's own records the names are numbered variations of them.
    const ReadBack races = readAll(file(TableId::Races), 126);
    const RecordFormatter format = recordFormatter("wccrace2.dat", 126);
    EXPECT_EQ(format(races.records[12])["Name"], "Fenwight 2");
    EXPECT_EQ(format(races.records[26])["Name"], "Children of the Sunken Gro 3");

    // Past the highest 2-byte number only the tables of 4-byte numbers go on.
    for (const records::TableId table : {TableId::Races, TableId::Monsters}) {
        const auto rows = demoRecords(table, {kMaxShortNumber + 1, false});
        const records::TableFile& spec = records::tableFile(table);
        const std::uint32_t n = spec.numberWidth == 2 ? kMaxShortNumber : kMaxShortNumber + 1;
        ASSERT_EQ(rows.size(), n) << spec.fileName;
        EXPECT_EQ(recordFormatter(spec.fileName, spec.recordLength)(rows.back())["Number"], n);
    }
}

// Every byte the editor never shows is non-zero, so code that drops them is caught.
TEST_F(DemoWorldTest, HiddenFieldsAndTailsHoldNoZeroByte) {
    for (const records::TableFile& spec : records::kTableFiles) {
        const RecordFormatter format = recordFormatter(spec.fileName, spec.recordLength);
        for (const Bytes& row : demoRecords(spec.id, {})) {
            const RecordJson fields = format(row);
            for (const auto& [name, value] : fields.items()) {
                if (name.find("Hidden") == std::string::npos && name != "tail") continue;
                const std::string hex = value.get<std::string>();
                ASSERT_FALSE(hex.empty());
                for (std::size_t i = 0; i < hex.size(); i += 2)
                    EXPECT_NE(hex.substr(i, 2), "00") << spec.fileName << " " << fields["Number"] << " " << name;
            }
        }
    }
}

}  // namespace
}  // namespace gamedata::test
