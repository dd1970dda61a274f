// The process's one connection to a server (per connection string), shared by
// every file it has open there and closed when the last of them closes. The
// process's transaction is one transaction of the server's over all those
// files: each file's first write in it takes that file's write lock, End
// commits them all at once, and the server sees every wait of the process,
// so a circle of waits across files is a deadlock it reports.
#pragma once

#include "server/pg_connection.h"

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace wbtrv {

class ServerSession {
public:
    ServerSession() = default;
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    // Connects with the connection string: 0 or 20.
    int connect(const std::string& server);
    PgConnection& db() { return db_; }
    // Whether a file opened now may share it: it is this process's (a child
    // after fork() never speaks on its parent's connection) and not lost.
    bool usable() const;

    // Numbers the server's transactions the files open: a file's write lock,
    // taken in the transaction numbered n, is held while n is still open.
    std::uint64_t began() { return ++transactions_; }
    std::uint64_t openTransaction() const { return db_.inTransaction() ? transactions_ : 0; }

    // Ends the server's transaction, if one is open: commits it (0, or the
    // failure, in which case all of it is undone) or rolls it back.
    int endTransaction(bool commit);

    // Whether the catalog was seen to have the owners' view (catalogs made
    // before owner names lack it): an Open then reads the file's owner in
    // its one statement; until then it asks first.
    bool ownersSeen() const { return ownersSeen_; }
    void seeOwners(bool seen) { ownersSeen_ = seen; }

    // Runs a statement that gives back a session lock (a closed file's open
    // lock or record lock). Inside a transaction that failed on the server,
    // where no statement runs, it runs once that transaction has ended.
    void release(const Prepared& statement, const PgParams& params);

private:
    void runReleases();

    PgConnection db_;
    pid_t owner_ = 0;
    std::uint64_t transactions_ = 0;
    bool ownersSeen_ = false;
    std::vector<std::pair<Prepared, PgParams>> releases_;
};

}  // namespace wbtrv
