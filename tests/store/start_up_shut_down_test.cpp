// Start-up opens the six data files in order and shows each first record; shut-down
// closes them and releases the record manager. Every call reports its own failure
// in the words of its table; only a failed Open ends the sequence.
#include <gtest/gtest.h>

#include <algorithm>

#include <wbtrv32/btrieve.h>

#include "store/table_blocks.h"
#include "test_support/call_seam.h"
#include "test_support/data_files.h"
#include "test_support/scripted_dialogs.h"
#include "test_support/temp_folder.h"

namespace {

const std::vector<std::uint16_t> kShutDown{B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_STOP, B_RESET};

class StartUpShutDown : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(test_support::createDataFiles(), 0);
        for (const auto& table : records::kTableFiles)
            ASSERT_EQ(test_support::insertRows(table, {test_support::numberedRow(table, 3)}), 0);
    }

    test_support::TempFolder folder;
    test_support::CallSeam seam;
    test_support::ScriptedDialogs dialogs;
    store::RecordStore store{seam.call(), dialogs};
    store::TableBlocks files;
};

TEST_F(StartUpShutDown, EveryCallReportsItsOwnFailure) {
    // Each operation with the exact reports of its calls, one per table in start-up
    // order (messages get no Close); the calls before the failing one go through.
    const std::pair<std::uint16_t, std::vector<const char*>> reports[] = {
        {B_STOP, {"Error on BSTOP: "}},
        {B_RESET, {"Error on BRESET: "}},
        {B_OPEN,
         {"Error on BOPEN RACE: ", "Error on BOPEN CLASS: ", "Error on BOPEN Spell: ", "Error on BOPEN MONSTER: ",
          "Error on BOPEN ITEM: ", "Error on BOPEN MESSAGE: "}},
        {B_GET_FIRST,
         {"Error on BGETFIRST RACE: ", "Error on BGETFIRST Class: ", "Error on BGETFIRST Spell: ",
          "Error on BGETFIRST MONSTER: ", "Error on BGETFIRST ITEM: ", "Error on BGETFIRST Message: "}},
        {B_CLOSE,
         {"Error on BCLOSE RACE: ", "Error on BCLOSE Class: ", "Error on BCLOSE Spell: ", "Error on Bclose MONSTER: ",
          "Error on BCLOSE ITEM: "}},
    };
    for (const auto& [operation, texts] : reports)
        for (std::size_t skip = 0; skip < texts.size(); ++skip) {
            SCOPED_TRACE(testing::Message() << "operation " << operation << " after " << skip);
            seam = {};
            dialogs.boxes.clear();
            seam.failNext(operation, 3, skip);
            std::vector<std::int32_t> shown;  // the numbers of the rows start-up shows
            const bool loaded = store::startUp(store, files, [&](store::TableFileBlock& block) {
                shown.push_back(test_support::rowNumber(block.file, block.row));
            });
            const bool openFailed = operation == B_OPEN;
            EXPECT_EQ(loaded, !openFailed);
            EXPECT_EQ(shown, std::vector<std::int32_t>(shown.size(), 3));
            EXPECT_EQ(shown.size(), openFailed ? skip : operation == B_GET_FIRST ? 5u : 6u);
            EXPECT_EQ(seam.openedFiles().size(), openFailed ? skip + 1 : 6u) << "no Open after a failed one";
            seam.calls.clear();
            store::shutDown(store, files);
            // Only the files start-up opened are closed (messages get no Close); the sequence goes on.
            const std::size_t closes = std::min<std::size_t>(openFailed ? skip : 6, 5);
            EXPECT_EQ(seam.operations(), std::vector<std::uint16_t>(kShutDown.begin() + 5 - closes, kShutDown.end()));
            // One report: the call's own words, exactly, and the status.
            EXPECT_EQ(dialogs.texts(), std::vector<QString>{QString::fromLatin1(texts[skip]) + QStringLiteral("3")});
            for (auto& block : files.blocks()) block.openFlag = 0;
        }
}

}  // namespace
