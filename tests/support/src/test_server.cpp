#include "test_support/test_server.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace test_support {
namespace {

bool runOn(const std::string& connection, const std::string& sql) {
    PGconn* conn = PQconnectdb(connection.c_str());
    PGresult* result = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    PQclear(result);
    PQfinish(conn);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

}  // namespace

ServerSchema::ServerSchema() {
    const char* server = std::getenv("GRIM_TEST_PG");
    if (!server || !*server) return;
    static int counter = 0;
    server_ = server;
    const std::string schema = "grim_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    if (runOn(server_, "CREATE SCHEMA " + schema)) schema_ = schema;
}

ServerSchema::~ServerSchema() {
    if (available()) runOn(server_, "SET client_min_messages = warning; DROP SCHEMA " + schema_ + " CASCADE");
}

void ServerSchema::nameIn(const std::filesystem::path& folder) const {
    std::ofstream(folder / "wbtrv32.server") << server_ << " options='-csearch_path=" << schema_ << "'\n";
}

}  // namespace test_support
