#include "server/server_session.h"

#include <wbtrv32/btrieve.h>

#include <unistd.h>

namespace wbtrv {

int ServerSession::connect(const std::string& server) {
    owner_ = getpid();
    return db_.connect(server);
}

bool ServerSession::usable() const { return owner_ == getpid() && !db_.lost(); }

int ServerSession::endTransaction(bool commit) {
    int status = B_NO_ERROR;
    if (db_.inTransaction()) {
        // A transaction that failed on the server can only be undone.
        if (commit && db_.transactionFailed()) commit = false, status = B_IO_ERROR;
        const int finished = db_.run(commit ? "COMMIT" : "ROLLBACK");
        if (status == B_NO_ERROR) status = finished;
        if (db_.inTransaction()) db_.run("ROLLBACK");
    }
    runReleases();
    return status;
}

void ServerSession::release(const Prepared& statement, const PgParams& params) {
    releases_.emplace_back(statement, params);
    if (!db_.transactionFailed()) runReleases();
}

void ServerSession::runReleases() {
    PgResult ignored;
    for (const auto& [statement, params] : releases_) db_.run(statement, params, ignored);
    releases_.clear();
}

}  // namespace wbtrv
