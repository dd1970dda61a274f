// A temporary folder for data files, and grimstore's command line run in it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support/temp_folder.h"

namespace grimstore::test {

using Bytes = std::vector<uint8_t>;

struct RunResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// The sequential file holding these records, in this order.
Bytes sequentialFile(const std::vector<Bytes>& records);
// A record of the given length: a 4-byte little-endian id, then the filler bytes repeated.
Bytes record(uint32_t id, size_t length, const Bytes& filler);

class GrimstoreTest : public testing::Test {
protected:
    const std::filesystem::path& folder() const { return folder_.path(); }
    std::string path(const std::string& name) const { return (folder() / name).string(); }

    // Runs the subcommand line in process and returns its status and output.
    RunResult run(const std::vector<std::string>& args) const;

    // Creates or replaces a data file; fails the test if grimstore refuses.
    void create(const std::string& name, uint32_t recordLength, const std::vector<std::string>& keys) const;
    // Loads these records through a sequential file; fails the test on refusal.
    void loadRecords(const std::string& name, const std::vector<Bytes>& records) const;
    // The data file's records as save writes them.
    Bytes saved(const std::string& name) const;

    // Changes the data file behind the record manager's back.
    void execSql(const std::string& name, const std::string& sql) const;

    static void writeFile(const std::string& path, const Bytes& bytes);
    static Bytes readFile(const std::string& path);

private:
    test_support::TempFolder folder_;
};

}  // namespace grimstore::test
