// Start-up opens the six data files in order and shows each first record; shut-down
// closes them and releases the record manager. Every call reports its own failure
// in the words of its table; only a failed Open ends the sequence.
#include <gtest/gtest.h>

#include <set>

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
    // Runs start-up; the numbers of the rows shown.
    std::vector<std::int32_t> startUp(bool& loaded) {
        std::vector<std::int32_t> shown;
        loaded = store::startUp(store, files, [&](store::TableFileBlock& block) {
            shown.push_back(test_support::rowNumber(block.file, block.row));
        });
        return shown;
    }

    test_support::TempFolder folder;
    test_support::CallSeam seam;
    test_support::ScriptedDialogs dialogs;
    store::RecordStore store{seam.call(), dialogs};
    store::DataFileSet files;
};

// A file that is not open is not closed.
TEST_F(StartUpShutDown, OnlyOpenFilesAreClosed) {
    bool loaded = false;
    EXPECT_EQ(startUp(loaded), std::vector<std::int32_t>(6, 3));
    ASSERT_TRUE(loaded);
    seam.calls.clear();
    files.block(records::TableId::Spells).openFlag = 0;
    store::shutDown(store, files);
    EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_STOP, B_RESET}));
}

TEST_F(StartUpShutDown, EveryCallReportsItsOwnFailure) {
    struct Case {
        std::uint16_t operation;
        std::size_t skip;  // calls of the operation that go through first
    };
    std::vector<Case> cases{{B_STOP, 0}, {B_RESET, 0}};
    for (std::size_t table = 0; table < 6; ++table) cases.insert(cases.end(), {{B_OPEN, table}, {B_GET_FIRST, table}});
    for (std::size_t table = 0; table < 5; ++table) cases.push_back({B_CLOSE, table});  // messages get no Close
    std::set<QString> reports;
    for (const auto& tc : cases) {
        SCOPED_TRACE(testing::Message() << "operation " << tc.operation << " after " << tc.skip);
        seam = {};
        dialogs.boxes.clear();
        seam.failNext(tc.operation, 3, tc.skip);
        bool loaded = false;
        const auto shown = startUp(loaded);
        const bool openFailed = tc.operation == B_OPEN;
        EXPECT_EQ(loaded, !openFailed);
        EXPECT_EQ(shown.size(), openFailed ? tc.skip : tc.operation == B_GET_FIRST ? 5u : 6u);
        EXPECT_EQ(seam.openedFiles().size(), openFailed ? tc.skip + 1 : 6u) << "no Open after a failed one";
        seam.calls.clear();
        store::shutDown(store, files);
        if (!openFailed) {
            EXPECT_EQ(seam.operations(), kShutDown) << "the sequence goes on";
        }
        // One report: the call's own words and the status.
        ASSERT_EQ(dialogs.texts().size(), 1u);
        const QString report = dialogs.texts().front();
        EXPECT_TRUE(report.startsWith(QStringLiteral("Error on B")) && report.endsWith(QStringLiteral(": 3")))
            << report.toStdString();
        EXPECT_TRUE(reports.insert(report).second) << report.toStdString() << " is another call's report too";
        for (auto& block : files.blocks()) block.openFlag = 0;
    }
}

}  // namespace
