// A schema of its own on the test server for one test: made on construction,
// named in WBTRV32_SERVER so that every data file the test opens or creates
// lives there, and dropped afterwards. The server is the one GRIM_TEST_PG
// names (scripts/with-postgres starts one); without it there is none.
#pragma once

#include <string>

struct pg_conn;  // libpq's connection

namespace test_support {

class ServerSchema {
public:
    // Whether GRIM_TEST_PG names a server to test on.
    static bool available();
    ServerSchema();
    ~ServerSchema();
    ServerSchema(const ServerSchema&) = delete;
    ServerSchema& operator=(const ServerSchema&) = delete;

    const std::string& name() const { return name_; }
    // What WBTRV32_SERVER holds: the schema as search path, and its name as
    // the application name of the record manager's connections.
    std::string connection() const;
    // Runs SQL in the schema as another program would; false when it fails.
    // `value` receives the first column of the first row as text.
    bool sql(const std::string& sql, std::string* value = nullptr) const;
    // How many of the record manager's sessions (those under this schema's
    // application name) the server has, waiting a few seconds for the count
    // to come to `expected` (a session closed may take the server a moment to
    // end); -1 when they cannot be counted. Asked on a connection of the
    // test's own, kept open, so that counting never waits for a connection.
    int sessions(int expected) const;
    // Ends them at once, as an administrator would; false when none was ended.
    bool terminateSessions() const;

private:
    std::string name_;
    pg_conn* watcher_ = nullptr;
};

}  // namespace test_support
