// A schema of its own on the test server that GRIM_TEST_PG names (see
// scripts/with-postgres), dropped afterwards, and the record manager's server
// file that puts the data files of a folder there.
#pragma once

#include <filesystem>
#include <string>

namespace test_support {

class ServerSchema {
public:
    ServerSchema();  // available() is false without GRIM_TEST_PG or when the schema cannot be made
    ~ServerSchema();
    ServerSchema(const ServerSchema&) = delete;
    ServerSchema& operator=(const ServerSchema&) = delete;

    bool available() const { return !schema_.empty(); }
    // Writes folder/wbtrv32.server naming this schema: the folder's data files live there.
    void nameIn(const std::filesystem::path& folder) const;

private:
    std::string server_;
    std::string schema_;
};

}  // namespace test_support
