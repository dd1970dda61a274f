// A process's files on one server share one session: it ends with the last
// of them, a child process makes its own, a file closed while it lives on
// gives its locks back; a transaction over several files there is one
// transaction of the server's, whole or absent when the process is killed or
// its session terminated during End; a circle of waits across files is a
// deadlock the server reports (78); worlds in two schemas keep their locks
// apart.
#include "btrieve_fixture.h"
#include "child_process.h"
#include "test_support/seed.h"

#include <libpq-fe.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

namespace btrieve_test {
namespace {

using ServerSessionTest = EngineTest;
INSTANTIATE_TEST_SUITE_P(Engines, ServerSessionTest, ::testing::Values(Engine::Server),
                         [](const auto&) { return std::string("Server"); });

std::int16_t closeFile(Block& block) { return BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0); }
std::int16_t transaction(std::uint16_t operation) {
    return BTRCALL(operation, nullptr, nullptr, nullptr, nullptr, 0, 0);
}

TEST_P(ServerSessionTest, OneSessionServesEveryFileUntilTheLastCloses) {
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) fill(path(name), 1, 2);
    ASSERT_EQ(schema_->sessions(0), 0);
    Block a{}, b{}, c{};
    ASSERT_EQ(openFile(a, path("a.dat"), B_MODE_EXCLUSIVE), B_NO_ERROR);
    ASSERT_EQ(openFile(b, path("b.dat")), B_NO_ERROR);
    ASSERT_EQ(openFile(c, path("c.dat")), B_NO_ERROR);
    EXPECT_EQ(schema_->sessions(1), 1);
    Call call{Bytes(Standard::recordLength)};
    ASSERT_EQ(transaction(B_BEGIN_TRANSACTION), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, a, 0), B_NO_ERROR);
    // Closed while the session lives on (and the transaction, which keeps a
    // record lock until End, or until its file closes), a.dat is free for
    // another process at once, its record too.
    ASSERT_EQ(closeFile(a), B_NO_ERROR);
    Child other(path("a.dat"), [](Block& block, const Pause&) {
        Call locked{Bytes(Standard::recordLength)};
        return int{locked.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, block, 0)};
    });
    EXPECT_EQ(other.wait(), B_NO_ERROR);
    // The child spoke on a session of its own: this one still answers.
    EXPECT_EQ(call.run(B_GET_LAST, b, 0), B_NO_ERROR);
    EXPECT_EQ(transaction(B_END_TRANSACTION), B_NO_ERROR);
    EXPECT_EQ(schema_->sessions(1), 1);
    ASSERT_EQ(closeFile(b), B_NO_ERROR);
    EXPECT_EQ(schema_->sessions(1), 1);
    ASSERT_EQ(closeFile(c), B_NO_ERROR);
    EXPECT_EQ(schema_->sessions(0), 0);
}

// A write the server refuses with an error inside a transaction (here by a
// trigger another program put on the file's table) leaves the transaction
// only to be aborted: the calls on the server's files, an Open too, answer 2
// until Abort; a file closed meanwhile gives its open lock back once the
// transaction ends; afterwards everything works as before the transaction.
TEST_P(ServerSessionTest, AWriteTheServerRefusesLeavesTheTransactionOnlyToAbort) {
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) fill(path(name), 1, 1);
    ASSERT_TRUE(schema_->sql(
        "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE EXCEPTION 'refused'; END$$;"
        "DO $$BEGIN EXECUTE format('CREATE TRIGGER refuse BEFORE INSERT ON %I FOR EACH ROW EXECUTE FUNCTION refuse()',"
        " (SELECT 'wbtrv_data_' || id FROM wbtrv_files WHERE name = 'b.dat')); END$$"));
    Block a{}, b{}, c{};
    ASSERT_EQ(openFile(a, path("a.dat")), B_NO_ERROR);
    ASSERT_EQ(openFile(b, path("b.dat")), B_NO_ERROR);
    ASSERT_EQ(openFile(c, path("c.dat"), B_MODE_EXCLUSIVE), B_NO_ERROR);
    Call call{Standard::record(0, 2, 2)};
    ASSERT_EQ(transaction(B_BEGIN_TRANSACTION), B_NO_ERROR);
    ASSERT_EQ(call.run(B_INSERT, a, 0), B_NO_ERROR);
    EXPECT_EQ(call.run(B_INSERT, b, 0), B_IO_ERROR);
    EXPECT_EQ(call.run(B_GET_FIRST, a, 0), B_IO_ERROR);
    EXPECT_EQ(closeFile(c), B_NO_ERROR);
    EXPECT_EQ(openFile(c, path("c.dat")), B_IO_ERROR);
    EXPECT_EQ(transaction(B_ABORT_TRANSACTION), B_NO_ERROR);
    EXPECT_EQ(Child(path("c.dat"), [](Block&, const Pause&) { return 0; }).wait(), B_NO_ERROR);
    std::int16_t status = B_NO_ERROR;
    EXPECT_EQ(readAll(a, status).size(), 1u) << "the insert is undone";
    EXPECT_EQ(status, B_NO_ERROR);
}

// What the process writing the transactions reports: a transaction's End
// about to start (status -1) or its answer.
struct Report {
    std::uint32_t code = 0;
    std::int32_t status = -1;
};

// Runs in a child: transactions of one insert into each of two files, each
// End announced and its answer reported, until a call fails or it is killed.
[[noreturn]] void endTransactionsUntilStopped(const std::string& first, const std::string& second, std::uint32_t round,
                                              int reportFd) {
    Block a{}, b{};
    if (openFile(a, first) != B_NO_ERROR || openFile(b, second) != B_NO_ERROR) _exit(2);
    auto report = [&](Report r) {
        if (write(reportFd, &r, sizeof r) != sizeof r) _exit(4);
    };
    report({0, 0});  // open: its session is there
    for (std::uint32_t code = round << 16 | 1;; ++code) {
        Call insert{Standard::record(0, 1, code)};
        if (transaction(B_BEGIN_TRANSACTION) != B_NO_ERROR || insert.run(B_INSERT, a, 0) != B_NO_ERROR ||
            insert.run(B_INSERT, b, 0) != B_NO_ERROR)
            _exit(3);
        report({code, -1});
        const std::int16_t status = transaction(B_END_TRANSACTION);
        report({code, status});
        if (status != B_NO_ERROR) _exit(0);
    }
}

// The codes of a file's records.
std::set<std::int64_t> codesIn(const std::string& file) {
    Block block{};
    EXPECT_EQ(openFile(block, file), B_NO_ERROR);
    std::int16_t status = B_NO_ERROR;
    std::set<std::int64_t> codes;
    for (const Bytes& r : readAll(block, status)) codes.insert(getInt(r, 6, 4, false));
    EXPECT_EQ(status, B_NO_ERROR);
    closeFile(block);
    return codes;
}

// A connection of the test's own, open before the moment it is needed.
class Admin {
public:
    explicit Admin(const std::string& server) : conn_(PQconnectdb(server.c_str())) {}
    ~Admin() { PQfinish(conn_); }
    std::string value(const std::string& sql) {
        PGresult* result = PQexec(conn_, sql.c_str());
        std::string out =
            PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) ? PQgetvalue(result, 0, 0) : "";
        PQclear(result);
        return out;
    }

private:
    PGconn* conn_;
};

// A process writing a transaction over two files on the server is killed, or
// its session terminated, at a random moment around End: afterwards both
// files hold the transaction's insert or neither does, and an End that
// answered 0 kept it.
TEST_P(ServerSessionTest, ATransactionOverTwoFilesIsWholeOrAbsentWhenEndIsCutShort) {
    const std::string first = path("first.dat"), second = path("second.dat");
    fill(first, 0, 0);
    fill(second, 0, 0);
    const std::uint32_t seed = test_support::testSeed("ATransactionOverTwoFilesIsWholeOrAbsent");
    std::mt19937 rng(seed);
    Admin admin(std::getenv("GRIM_TEST_PG"));
    std::set<std::int64_t> acknowledged;
    const int rounds = trials(12);
    for (int round = 1; round <= rounds; ++round) {
        ASSERT_EQ(schema_->sessions(0), 0);
        const bool terminate = round % 2 == 0;
        SCOPED_TRACE((terminate ? "session terminated, round " : "process killed, round ") + std::to_string(round));
        Child child([&](int, int out) -> int {
            endTransactionsUntilStopped(first, second, static_cast<std::uint32_t>(round), out);
        });
        Report r;
        ASSERT_TRUE(child.receive(&r, sizeof r));
        const std::string backend =
            admin.value("SELECT pid FROM pg_stat_activity WHERE application_name = '" + schema_->name() + "'");
        // The End of one of the first three transactions is cut short, up to 3 ms after it starts.
        for (int ends = std::uniform_int_distribution<int>(1, 3)(rng); ends > 0;) {
            ASSERT_TRUE(child.receive(&r, sizeof r));
            if (r.status == -1) --ends;
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(rng));
        // A terminated session makes the child's next call answer 20, on which it stops.
        if (!terminate || admin.value("SELECT pg_terminate_backend(" + backend + ")") != "t")
            kill(child.pid(), SIGKILL);
        child.wait();
        while (child.receive(&r, sizeof r))
            if (r.status == B_NO_ERROR) acknowledged.insert(r.code);
        ASSERT_EQ(schema_->sessions(0), 0) << "the cut session is gone";
    }
    const std::set<std::int64_t> inFirst = codesIn(first), inSecond = codesIn(second);
    EXPECT_EQ(inFirst, inSecond);
    for (std::int64_t code : acknowledged) EXPECT_TRUE(inFirst.contains(code)) << "lost transaction " << code;
}

// Two processes each hold one file in a transaction and write to the other's:
// the server sees the circle at once (after its deadlock_timeout) and one of
// them gets 78 rather than both waiting 5 seconds for 85; once it aborts,
// the other's write goes through.
TEST_P(ServerSessionTest, ACircleOfWaitsAcrossFilesAnswers78AndTheOtherGoesOn) {
    const std::string first = path("first.dat"), second = path("second.dat");
    fill(first, 1, 1);
    fill(second, 1, 1);
    // Each side: Begin, a write to its own file, then (after the signal) one to the other's.
    const auto holdThenWrite = [](Block& own, Block& other, std::uint32_t code,
                                  const std::function<void()>& betweenWrites) {
        Call insert{Standard::record(0, 2, code)};
        if (transaction(B_BEGIN_TRANSACTION) != B_NO_ERROR || insert.run(B_INSERT, own, 0) != B_NO_ERROR) return -1;
        betweenWrites();
        const int status = insert.run(B_INSERT, other, 0);
        transaction(status == B_NO_ERROR ? B_END_TRANSACTION : B_ABORT_TRANSACTION);
        return status;
    };
    Block a{}, b{};
    ASSERT_EQ(openFile(a, first), B_NO_ERROR);
    ASSERT_EQ(openFile(b, second), B_NO_ERROR);
    Child child([&](int in, int out) {
        Block ownB{}, otherA{};
        if (openFile(ownB, second) != B_NO_ERROR || openFile(otherA, first) != B_NO_ERROR) return 100;
        return holdThenWrite(ownB, otherA, 3, [&] {
            Child::pass(out, true);
            Child::pass(in, false);
        });
    });
    const int here = holdThenWrite(a, b, 2, [&] {
        child.waitForSignal();
        child.signal();
    });
    const int there = child.wait();
    EXPECT_EQ(std::multiset<int>({here, there}), std::multiset<int>({B_NO_ERROR, B_DEADLOCK}))
        << "here " << here << ", there " << there;
}

// Two worlds in two schemas of one database, each holding a file of the same
// name (and so of the same number there): one process holds its file
// exclusively, inside a transaction that wrote to it, with a record locked;
// another process does all of that to the other world's file at once.
TEST_P(ServerSessionTest, WorldsInTwoSchemasKeepTheirLocksApart) {
    const test_support::ServerSchema& one = *schema_;
    const test_support::ServerSchema two;  // names itself in WBTRV32_SERVER: the folders name them instead
    unsetenv("WBTRV32_SERVER");
    for (const auto* world : {&one, &two}) {
        const std::filesystem::path folder = dir_ / world->name();
        std::filesystem::create_directory(folder);
        std::ofstream(folder / "wbtrv32.server") << world->connection() << "\n";
        fill((folder / "world.dat").string(), 1, 2);
    }
    const auto holdEverything = [](Block& block, const std::string& file) {
        Call call{Standard::record(0, 2, 9)};
        if (const int status = openFile(block, file, B_MODE_EXCLUSIVE); status != B_NO_ERROR) return status;
        if (const int status = transaction(B_BEGIN_TRANSACTION); status != B_NO_ERROR) return status;
        if (const int status = call.run(B_INSERT, block, 0); status != B_NO_ERROR) return status;
        return int{call.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, block, 0)};
    };
    Block block{};
    ASSERT_EQ(holdEverything(block, (dir_ / one.name() / "world.dat").string()), B_NO_ERROR);
    Child other([&](int, int) {
        Block mine{};
        const int status = holdEverything(mine, (dir_ / two.name() / "world.dat").string());
        return status == B_NO_ERROR ? int{transaction(B_END_TRANSACTION)} : status;
    });
    EXPECT_EQ(other.wait(), B_NO_ERROR);
    EXPECT_EQ(transaction(B_END_TRANSACTION), B_NO_ERROR);
}

}  // namespace
}  // namespace btrieve_test
