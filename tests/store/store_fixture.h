// A folder holding the six data files, one or two records each, and a record store
// whose calls go through a recording seam to the real record manager.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "store/data_file_set.h"
#include "test_support/call_seam.h"
#include "test_support/data_files.h"
#include "test_support/scripted_dialogs.h"
#include "test_support/temp_folder.h"

class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(test_support::createDataFiles(), 0);
        for (const auto& table : records::kTableFiles)
            ASSERT_EQ(test_support::insertRows(
                          table, {test_support::numberedRow(table, 3), test_support::numberedRow(table, 7)}),
                      0);
    }

    bool startUp() {
        return store::startUp(store, files, [this](store::TableFileBlock& block) {
            shown.emplace_back(block.file.id, test_support::rowNumber(block.file, block.row));
        });
    }

    test_support::TempFolder folder;
    test_support::CallSeam seam;
    test_support::ScriptedDialogs dialogs;
    store::RecordStore store{seam.call(), dialogs};
    store::DataFileSet files;
    std::vector<std::pair<records::TableId, std::int32_t>> shown;  // table and number of every row shown
};
