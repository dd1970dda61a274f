// The process's files on one server share one session and one transaction
// of the server's: a write the server refuses leaves that transaction only to
// be aborted; a file closed meanwhile still gives its locks back; a circle of
// waits across files is a deadlock the server reports (78). (A transaction
// over two files cut short during End, whole or absent: crash_test.cpp; worlds
// in two schemas keeping their locks apart: server_test.cpp.)
#include "btrieve_fixture.h"
#include "child_process.h"

#include <set>

namespace btrieve_test {
namespace {

using ServerSessionTest = EngineTest;
INSTANTIATE_TEST_SUITE_P(Engines, ServerSessionTest, ::testing::Values(Engine::Server),
                         [](const auto&) { return std::string("Server"); });

std::int16_t transaction(std::uint16_t operation) {
    return BTRCALL(operation, nullptr, nullptr, nullptr, nullptr, 0, 0);
}

// The trigger another program put on b.dat's table refuses every insert. The
// file a.dat, held exclusively with a record locked in the transaction, is
// closed while the transaction cannot run a statement: its locks are given
// back once the transaction has ended, though the session lives on.
TEST_P(ServerSessionTest, AWriteTheServerRefusesLeavesTheTransactionOnlyToAbort) {
    for (const char* name : {"a.dat", "b.dat"}) fill(path(name), 1, 1);
    ASSERT_TRUE(schema_->sql(
        "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE EXCEPTION 'refused'; END$$;"
        "DO $$BEGIN EXECUTE format('CREATE TRIGGER refuse BEFORE INSERT ON %I FOR EACH ROW EXECUTE FUNCTION refuse()',"
        " (SELECT 'wbtrv_data_' || id FROM wbtrv_files WHERE name = 'b.dat')); END$$"));
    Block a{}, b{};
    ASSERT_EQ(openFile(a, path("a.dat"), B_MODE_EXCLUSIVE), B_NO_ERROR);
    ASSERT_EQ(openFile(b, path("b.dat")), B_NO_ERROR);
    Call call{Standard::record(0, 2, 2)};
    ASSERT_EQ(transaction(B_BEGIN_TRANSACTION), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, a, 0), B_NO_ERROR);
    EXPECT_EQ(call.run(B_INSERT, b, 0), B_IO_ERROR);
    EXPECT_EQ(call.run(B_GET_FIRST, b, 0), B_IO_ERROR);
    EXPECT_EQ(BTRCALL(B_CLOSE, a.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    EXPECT_EQ(openFile(a, path("a.dat")), B_IO_ERROR);
    EXPECT_EQ(transaction(B_ABORT_TRANSACTION), B_NO_ERROR);
    EXPECT_EQ(Child(path("a.dat"),
                    [](Block& block, const Pause&) {
                        Call locked{Bytes(Standard::recordLength)};
                        return int{locked.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, block, 0)};
                    })
                  .wait(),
              B_NO_ERROR);
    EXPECT_EQ(call.run(B_GET_FIRST, b, 0), B_NO_ERROR);
}

// Two processes each hold one file in a transaction and write to the other's:
// the server sees the circle (after its deadlock_timeout) and one of them
// gets 78 rather than both waiting 5 seconds for 85; once it aborts, the
// other's write goes through. The child forks while this process has its
// session: it makes its own.
TEST_P(ServerSessionTest, ACircleOfWaitsAcrossFilesAnswers78AndTheOtherGoesOn) {
    const std::string files[2] = {path("first.dat"), path("second.dat")};
    for (const std::string& file : files) fill(file, 1, 1);
    const auto holdThenWrite = [&files](int own, const std::function<void()>& betweenWrites) {
        Block blocks[2]{};
        Call insert{Standard::record(0, 2, static_cast<std::uint32_t>(own + 2))};
        if (openFile(blocks[0], files[0]) != B_NO_ERROR || openFile(blocks[1], files[1]) != B_NO_ERROR ||
            transaction(B_BEGIN_TRANSACTION) != B_NO_ERROR || insert.run(B_INSERT, blocks[own], 0) != B_NO_ERROR)
            return -1;
        betweenWrites();
        const int status = insert.run(B_INSERT, blocks[1 - own], 0);
        transaction(status == B_NO_ERROR ? B_END_TRANSACTION : B_ABORT_TRANSACTION);
        return status;
    };
    Block held{};
    ASSERT_EQ(openFile(held, files[0]), B_NO_ERROR);
    Child child(
        [&](int in, int out) { return holdThenWrite(1, [&] { Child::pass(out, true), Child::pass(in, false); }); });
    const int here = holdThenWrite(0, [&] { child.waitForSignal(), child.signal(); });
    const int there = child.wait();
    EXPECT_EQ(std::multiset<int>({here, there}), std::multiset<int>({B_NO_ERROR, B_DEADLOCK}))
        << "here " << here << ", there " << there;
}

}  // namespace
}  // namespace btrieve_test
