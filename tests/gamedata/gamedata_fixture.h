// A temporary folder for the demo files and a reader that takes a data file's
// records back through BTRCALL.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "records/tables.h"

namespace gamedata::test {

using Bytes = std::vector<std::uint8_t>;

struct ReadBack {
    std::int16_t status = 0;             // of the first failing call; 0 when all went well
    std::vector<Bytes> records;          // in key 0 order
    std::vector<std::uint32_t> lengths;  // the data length of every Get
};

// Opens the file read-only, reads every record along key 0 and closes it.
ReadBack readAll(const std::filesystem::path& file, std::uint32_t recordLength);

class DemoFolderTest : public testing::Test {
protected:
    DemoFolderTest();
    ~DemoFolderTest() override;

    std::filesystem::path dir() const { return dir_; }
    std::filesystem::path file(records::TableId table) const { return dir_ / records::tableFile(table).fileName; }
    // A fresh sub-folder of the temporary folder.
    std::filesystem::path subfolder(const std::string& name) const;

private:
    std::filesystem::path dir_;
};

}  // namespace gamedata::test
