// Two processes on one file: an exclusive open keeps the other process out;
// they see each other's commits, a lost update is refused, a transaction
// stays unseen until its End, and a record locked in one is refused (84) to the other.
#include "btrieve_fixture.h"
#include "child_process.h"

#include <unistd.h>

namespace btrieve_test {
namespace {

TEST_F(BtrieveTest, ExclusiveOpenKeepsTheOtherProcessOut) {
    const std::string file = path("standard.dat");
    fill(file, 0, 0);
    Block block{};

    // This process holds the file exclusively: the other one is refused.
    ASSERT_EQ(openFile(block, file, B_MODE_EXCLUSIVE), B_NO_ERROR);
    EXPECT_EQ(Child(file, [](Block&, const Pause&) { return 0; }).wait(), B_FILE_IN_USE);
    ASSERT_EQ(BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);

    // The other process has it open: an exclusive open here is refused until it closes.
    Child child(file, [](Block&, const Pause& pause) {
        pause();
        return 0;
    });
    ASSERT_TRUE(child.waitForSignal());
    EXPECT_EQ(openFile(block, file, B_MODE_EXCLUSIVE), B_FILE_IN_USE);
    EXPECT_EQ(createFile(file, Standard::createBuffer()), B_FILE_IN_USE);
    child.signal();
    EXPECT_EQ(child.wait(), B_NO_ERROR);
    EXPECT_EQ(openFile(block, file, B_MODE_EXCLUSIVE), B_NO_ERROR);
}

// A child process takes turns with this one on a file of two records: its
// update of the record current here makes the update here a lost one (80), a
// record locked in one process answers 84 to the other until unlocked, and a
// transaction stays unseen until its End.
TEST_F(BtrieveTest, AnotherProcessMeetsLostUpdatesLocksAndTransactions) {
    Block block{};
    openStandard(block);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    call.data = Standard::record(0, 2, 2);
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST, block, 0), B_NO_ERROR);

    Child child(path("standard.dat"), [](Block& mine, const Pause& pause) {
        Call c{Bytes(Standard::recordLength)};
        auto count = [&] {
            int n = 0;
            for (std::uint16_t op = B_STEP_FIRST; c.run(op, mine, 0) == B_NO_ERROR; op = B_STEP_NEXT) ++n;
            return n;
        };
        if (const int status = c.run(B_GET_FIRST, mine, 0); status != B_NO_ERROR) return status;
        putInt(c.data, 4, 2, 42);
        if (const int status = c.run(B_UPDATE, mine, 0); status != B_NO_ERROR) return 100 + status;
        pause();
        // The first record is locked there: a no-wait and a wait lock (which gives
        // up after a second) and an update are refused; a plain read is not.
        for (std::uint16_t op : {B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, B_STEP_FIRST + B_MULTIPLE_WAIT_LOCK})
            if (const int status = c.run(op, mine, 0); status != B_RECORD_IN_USE) return 100 + status;
        if (c.run(B_GET_FIRST, mine, 0) != B_NO_ERROR) return 98;
        if (const int status = c.run(B_UPDATE, mine, 0); status != B_RECORD_IN_USE) return 100 + status;
        if (c.run(B_GET_LAST + B_SINGLE_NOWAIT_LOCK, mine, 0) != B_NO_ERROR) return 97;  // another record
        pause();
        if (c.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, mine, 0) != B_NO_ERROR) return 96;  // unlocked there now
        BTRCALL(B_UNLOCK, mine.data(), nullptr, nullptr, nullptr, 0, 0);
        pause();
        // A transaction there holds an insert: unseen, and a write here is refused after a short wait, not hung.
        if (count() != 2) return 95;
        if (Call insert{Standard::record(0, 3, 3)}; insert.run(B_INSERT, mine, 0) != B_FILE_IN_USE) return 94;
        pause();
        return count() == 3 ? B_NO_ERROR : 99;
    });
    ASSERT_TRUE(child.waitForSignal());
    putInt(call.data, 4, 2, 7);
    EXPECT_EQ(call.run(B_UPDATE, block, 0), B_CONFLICT);
    EXPECT_EQ(call.run(B_DELETE, block, 0), B_CONFLICT);
    ASSERT_EQ(call.run(B_GET_FIRST, block, 0), B_NO_ERROR);
    EXPECT_EQ(getInt(call.data, 4, 2), 42) << "the other process's commit is visible";
    putInt(call.data, 4, 2, 7);
    EXPECT_EQ(call.run(B_UPDATE, block, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, block, 0), B_NO_ERROR);
    child.signal();

    ASSERT_TRUE(child.waitForSignal());
    EXPECT_EQ(call.run(B_GET_LAST + B_SINGLE_NOWAIT_LOCK, block, 0), B_RECORD_IN_USE);
    EXPECT_EQ(BTRCALL(B_UNLOCK, block.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    child.signal();

    ASSERT_TRUE(child.waitForSignal());
    ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    call.data = Standard::record(0, 4, 4);
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    child.signal();
    ASSERT_TRUE(child.waitForSignal());
    ASSERT_EQ(BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    child.signal();
    EXPECT_EQ(child.wait(), B_NO_ERROR);
}

}  // namespace
}  // namespace btrieve_test
