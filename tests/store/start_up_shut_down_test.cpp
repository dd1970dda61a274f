// Start-up opens the six data files in order and shows each first record; shut-down
// closes them and releases the record manager. Every call reports its own failure
// in the words of its table; only a failed Open ends the sequence.
#include <gtest/gtest.h>

#include <algorithm>

#include <wbtrv32/btrieve.h>

#include "store/data_file_set.h"
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
    store::DataFileSet files;
};

TEST_F(StartUpShutDown, EveryCallReportsItsOwnFailure) {
    // Each operation, with the calls of it that go through first, and its report.
    struct Case {
        std::uint16_t operation;
        std::size_t skip;
        const char* report;
    };
    const Case cases[] = {
        {B_STOP, 0, "Error on BSTOP: 3"},
        {B_RESET, 0, "Error on BRESET: 3"},
        {B_OPEN, 0, "Error on BOPEN RACE: 3"},
        {B_OPEN, 1, "Error on BOPEN CLASS: 3"},
        {B_OPEN, 2, "Error on BOPEN Spell: 3"},
        {B_OPEN, 3, "Error on BOPEN MONSTER: 3"},
        {B_OPEN, 4, "Error on BOPEN ITEM: 3"},
        {B_OPEN, 5, "Error on BOPEN MESSAGE: 3"},
        {B_GET_FIRST, 0, "Error on BGETFIRST RACE: 3"},
        {B_GET_FIRST, 1, "Error on BGETFIRST Class: 3"},
        {B_GET_FIRST, 2, "Error on BGETFIRST Spell: 3"},
        {B_GET_FIRST, 3, "Error on BGETFIRST MONSTER: 3"},
        {B_GET_FIRST, 4, "Error on BGETFIRST ITEM: 3"},
        {B_GET_FIRST, 5, "Error on BGETFIRST Message: 3"},
        // Messages get no Close.
        {B_CLOSE, 0, "Error on BCLOSE RACE: 3"},
        {B_CLOSE, 1, "Error on BCLOSE Class: 3"},
        {B_CLOSE, 2, "Error on BCLOSE Spell: 3"},
        {B_CLOSE, 3, "Error on Bclose MONSTER: 3"},
        {B_CLOSE, 4, "Error on BCLOSE ITEM: 3"},
    };
    for (const auto& [operation, skip, report] : cases) {
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
        EXPECT_EQ(dialogs.texts(), std::vector<QString>{QString::fromLatin1(report)});
        for (auto& block : files.blocks()) block.openFlag = 0;
    }
}

}  // namespace
