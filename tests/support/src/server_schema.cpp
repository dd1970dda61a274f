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

bool runOn(PGconn* conn, const std::string& sql, std::string* value) {
    PGresult* result = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    if (value) *value = PQntuples(result) > 0 ? PQgetvalue(result, 0, 0) : "";
    PQclear(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

bool runOnServer(const std::string& server, const std::string& sql, std::string* value) {
    PGconn* conn = PQconnectdb(server.c_str());
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    const bool ran = runOn(conn, sql, value);
    PQfinish(conn);
    return ran;
}

}  // namespace

bool ServerSchema::available() { return !testServer().empty(); }

ServerSchema::ServerSchema() {
    static int made = 0;
    name_ = "test_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    if (!runOnServer(testServer(), "CREATE SCHEMA " + name_, nullptr))
        throw std::runtime_error("cannot make schema " + name_ + " on the test server");
    setenv("WBTRV32_SERVER", connection().c_str(), 1);
    watcher_ = PQconnectdb(testServer().c_str());
}

ServerSchema::~ServerSchema() {
    PQfinish(watcher_);
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
    const std::string sql = "SELECT count(*) FROM pg_stat_activity WHERE application_name = '" + name_ + "'";
    std::string count;
    for (int wait = 0; wait < 250 && runOn(watcher_, sql, &count) && std::stoi(count) != expected; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return count.empty() ? -1 : std::stoi(count);
}

bool ServerSchema::terminateSessions() const {
    std::string ended;
    return runOn(watcher_,
                 "SELECT count(*) FILTER (WHERE pg_terminate_backend(pid)) FROM pg_stat_activity"
                 " WHERE application_name = '" +
                     name_ + "'",
                 &ended) &&
           ended != "0";
}

}  // namespace test_support
