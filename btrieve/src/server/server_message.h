// The server's own words on why the last call of this thread failed there
// (BTRSERVERMESSAGE). Each thread keeps its own, as it keeps errno: the
// calls of a process run one at a time, and a thread reads what its own
// last call met, never another thread's.
#pragma once

#include <string>

struct pg_conn;    // libpq's PGconn
struct pg_result;  // libpq's PGresult

namespace wbtrv {

const std::string& serverMessage();
// Keeps the primary message of a failed statement, or the connection's own
// first line when there is no result or the connection is gone.
void noteServerMessage(const pg_conn* conn, const pg_result* result);
// Keeps these words, which are the record manager's own.
void noteServerMessage(std::string words);
// Keeps why connecting with the connection string `server` failed, without
// its password: a password the string holds (or PGPASSWORD) is masked, and
// a string libpq cannot read is not quoted at all.
void noteConnectFailure(const pg_conn* conn, const std::string& server);

// One call of an entry point: it starts with no message and keeps one only
// if it fails.
class ServerMessageCall {
public:
    ServerMessageCall();
    ServerMessageCall(const ServerMessageCall&) = delete;
    ServerMessageCall& operator=(const ServerMessageCall&) = delete;
    int finish(int status) const;
};

}  // namespace wbtrv
