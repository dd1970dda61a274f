// Opening the six data files and showing their first records, and each table's
// own failure report. The missing class file and the empty spell file are
// tested on the whole window, in the ui tests.
#include <array>

#include <wbtrv32/btrieve.h>

#include "store_fixture.h"

namespace {

using records::TableId;
using Shown = std::vector<std::pair<TableId, std::int32_t>>;

const char* const kAllFiles[] = {"wccrace2.dat", "wccclas2.dat", "wccspel2.dat",
                                 "wccknms2.dat", "wccitem2.dat", "wccmsg2.dat"};

using StartUp = StoreFixture;

TEST_F(StartUp, OpensEveryFileInOrderAndShowsItsFirstRecord) {
    ASSERT_TRUE(startUp());
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(seam.openedFiles(), std::vector<std::string>(std::begin(kAllFiles), std::end(kAllFiles)));
    EXPECT_EQ(shown, (Shown{{TableId::Races, 3},
                            {TableId::Classes, 3},
                            {TableId::Spells, 3},
                            {TableId::Monsters, 3},
                            {TableId::Items, 3},
                            {TableId::Messages, 3}}));
    // Each table completely before the next: Open, then Get First.
    std::vector<std::uint16_t> expected;
    for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {B_OPEN, B_GET_FIRST});
    EXPECT_EQ(seam.operations(), expected);
    for (auto& block : files.blocks()) {
        EXPECT_EQ(block.openFlag, 1);
        EXPECT_EQ(block.recordLength, block.file.recordLength);
    }
}

TEST_F(StartUp, GetNextAfterStartUpReachesTheSecondRecord) {
    ASSERT_TRUE(startUp());
    auto& block = files.block(TableId::Monsters);
    ASSERT_EQ(store.onTable(B_GET_NEXT, block), 0);
    EXPECT_EQ(test_support::rowNumber(block.file, block.row), 7);
}

// A failed Open ends start-up at once; a failed first read is reported and start-up goes on.
TEST_F(StartUp, EachTableReportsItsOwnFailure) {
    const struct {
        std::uint16_t operation;
        std::int16_t status;
        std::array<const char*, 6> shown;  // per table, in start-up order
    } cases[] = {
        {B_OPEN,
         88,
         {"Error on BOPEN RACE: 88", "Error on BOPEN CLASS: 88", "Error on BOPEN Spell: 88",
          "Error on BOPEN MONSTER: 88", "Error on BOPEN ITEM: 88", "Error on BOPEN MESSAGE: 88"}},
        {B_GET_FIRST,
         2,
         {"Error on BGETFIRST RACE: 2", "Error on BGETFIRST Class: 2", "Error on BGETFIRST Spell: 2",
          "Error on BGETFIRST MONSTER: 2", "Error on BGETFIRST ITEM: 2", "Error on BGETFIRST Message: 2"}},
    };
    for (const auto& tc : cases) {
        const bool openFails = tc.operation == B_OPEN;
        for (std::size_t table = 0; table < 6; ++table) {
            test_support::CallSeam failing;
            test_support::ScriptedDialogs boxes;
            store::RecordStore failingStore{failing.call(), boxes};
            store::DataFileSet set;
            failing.failNext(tc.operation, tc.status, table);
            int showns = 0;
            EXPECT_EQ(store::startUp(failingStore, set, [&](store::TableFileBlock&) { ++showns; }), !openFails);
            EXPECT_EQ(boxes.texts(), std::vector<QString>{QString::fromLatin1(tc.shown[table])});
            EXPECT_EQ(showns, openFails ? static_cast<int>(table) : 5);
            EXPECT_EQ(failing.openedFiles().size(), openFails ? table + 1 : 6) << "no Open after a failed one";
            store.onRecordManager(B_RESET);  // releases whatever was opened
        }
    }
}

}  // namespace
