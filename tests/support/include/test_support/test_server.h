// A schema of its own on the test server that GRIM_TEST_PG names (see
// scripts/with-postgres), dropped afterwards, and the record manager's server
// file that puts the data files of a folder there.
#pragma once

#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace test_support {

class ServerSchema {
public:
    // available() is false without GRIM_TEST_PG or when the schema cannot be made.
    ServerSchema() {
        const char* server = std::getenv("GRIM_TEST_PG");
        if (server && *server && run(server, "CREATE SCHEMA " + name_)) server_ = server;
    }
    ~ServerSchema() {
        if (available()) run(server_, "SET client_min_messages = warning; DROP SCHEMA " + name_ + " CASCADE");
    }
    ServerSchema(const ServerSchema&) = delete;
    ServerSchema& operator=(const ServerSchema&) = delete;

    bool available() const { return !server_.empty(); }
    // Writes folder/wbtrv32.server naming this schema: the folder's data files live there.
    void nameIn(const std::filesystem::path& folder) const {
        std::ofstream(folder / "wbtrv32.server") << server_ << " options='-csearch_path=" << name_ << "'\n";
    }

private:
    static bool run(const std::string& connection, const std::string& sql) {
        PGconn* conn = PQconnectdb(connection.c_str());
        PGresult* result = PQexec(conn, sql.c_str());
        const bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
        PQfinish(conn);
        return done;
    }

    inline static int made_ = 0;
    std::string name_ = "grim_" + std::to_string(getpid()) + "_" + std::to_string(++made_);
    std::string server_;
};

}  // namespace test_support
