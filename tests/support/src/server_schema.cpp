#include "test_support/server_schema.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace test_support {
namespace {

std::string testServer() {
    const char* server = std::getenv("GRIM_TEST_PG");
    return server ? server : "";
}

bool runOnServer(const std::string& server, const std::string& sql, std::string* value) {
    PGconn* conn = PQconnectdb(server.c_str());
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    PGresult* result = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    if (value) *value = PQntuples(result) > 0 ? PQgetvalue(result, 0, 0) : "";
    PQclear(result);
    PQfinish(conn);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

}  // namespace

bool ServerSchema::available() { return !testServer().empty(); }

ServerSchema::ServerSchema() {
    static int made = 0;
    name_ = "test_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    if (!runOnServer(testServer(), "CREATE SCHEMA " + name_, nullptr))
        throw std::runtime_error("cannot make schema " + name_ + " on the test server");
    setenv("WBTRV32_SERVER", connection().c_str(), 1);
}

ServerSchema::~ServerSchema() {
    unsetenv("WBTRV32_SERVER");
    runOnServer(testServer(), "DROP SCHEMA " + name_ + " CASCADE", nullptr);
}

std::string ServerSchema::connection() const {
    return testServer() + " application_name=" + name_ + " options='-csearch_path=" + name_ + "'";
}

bool ServerSchema::sql(const std::string& sql, std::string* value) const {
    return runOnServer(testServer() + " options='-csearch_path=" + name_ + "'", sql, value);
}

int ServerSchema::sessions(int expected) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string count;
    do {
        if (!sql("SELECT count(*) FROM pg_stat_activity WHERE application_name = '" + name_ + "'", &count)) return -1;
        if (std::atoi(count.c_str()) == expected) return expected;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::atoi(count.c_str());
}

}  // namespace test_support
