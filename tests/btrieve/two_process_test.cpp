// Two processes on one file: they see each other's commits, a lost update is
// refused, an exclusive open keeps the other process out, a transaction
// stays unseen until its End, and a record locked in one is refused (84) to the other.
#include "btrieve_fixture.h"
#include "child_process.h"

#include <unistd.h>

namespace btrieve_test {
namespace {

TEST_F(BtrieveTest, ALostUpdateFromAnotherProcessGets80) {
    Block block{};
    openStandard(block);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST, block, 0), B_NO_ERROR);

    const std::string file = path("standard.dat");
    Child child(file, [](Block& mine, const Pause&) {
        Call c{Bytes(Standard::recordLength)};
        if (const int status = c.run(B_GET_FIRST, mine, 0); status != B_NO_ERROR) return status;
        putInt(c.data, 4, 2, 42);
        return static_cast<int>(c.run(B_UPDATE, mine, 0));
    });
    ASSERT_EQ(child.wait(), B_NO_ERROR);

    putInt(call.data, 4, 2, 7);
    EXPECT_EQ(call.run(B_UPDATE, block, 0), B_CONFLICT);
    EXPECT_EQ(call.run(B_DELETE, block, 0), B_CONFLICT);
    ASSERT_EQ(call.run(B_GET_FIRST, block, 0), B_NO_ERROR);
    EXPECT_EQ(getInt(call.data, 4, 2), 42) << "the other process's commit is visible";
    putInt(call.data, 4, 2, 7);
    EXPECT_EQ(call.run(B_UPDATE, block, 0), B_NO_ERROR);
}

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

TEST_F(BtrieveTest, ATransactionIsUnseenByAnotherProcessUntilItsEnd) {
    Block block{};
    openStandard(block);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    call.data = Standard::record(0, 2, 2);
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);

    const std::string file = path("standard.dat");
    Child child(file, [](Block& mine, const Pause& pause) {
        auto count = [&] {
            Call c{Bytes(Standard::recordLength)};
            int n = 0;
            for (std::uint16_t op = B_STEP_FIRST; c.run(op, mine, 0) == B_NO_ERROR; op = B_STEP_NEXT) ++n;
            return n;
        };
        if (count() != 1) return 100;
        // The file is held by the transaction: a write is refused after a short wait, not hung.
        Call c{Standard::record(0, 3, 3)};
        if (const int status = c.run(B_INSERT, mine, 0); status != B_FILE_IN_USE) return 101 + status;
        pause();
        return count() == 2 ? B_NO_ERROR : 99;
    });
    ASSERT_TRUE(child.waitForSignal());
    ASSERT_EQ(BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    child.signal();
    EXPECT_EQ(child.wait(), B_NO_ERROR);
}

TEST_F(BtrieveTest, ARecordLockedInAnotherProcessAnswers84UntilUnlocked) {
    Block block{};
    openStandard(block);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    call.data = Standard::record(0, 2, 2);
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, block, 0), B_NO_ERROR);

    const std::string file = path("standard.dat");
    Child child(file, [](Block& mine, const Pause& pause) {
        Call c{Bytes(Standard::recordLength)};
        // A no-wait and a wait lock are refused (the wait gives up after a second); a plain read is not.
        for (std::uint16_t op : {B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, B_STEP_FIRST + B_MULTIPLE_WAIT_LOCK})
            if (const int status = c.run(op, mine, 0); status != B_RECORD_IN_USE) return 100 + status;
        if (c.run(B_GET_FIRST, mine, 0) != B_NO_ERROR) return 98;
        if (const int status = c.run(B_UPDATE, mine, 0); status != B_RECORD_IN_USE) return 100 + status;
        if (c.run(B_GET_LAST + B_SINGLE_NOWAIT_LOCK, mine, 0) != B_NO_ERROR) return 97;  // another record
        pause();
        return static_cast<int>(c.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, mine, 0));
    });
    ASSERT_TRUE(child.waitForSignal());
    EXPECT_EQ(call.run(B_GET_LAST + B_SINGLE_NOWAIT_LOCK, block, 0), B_RECORD_IN_USE);
    EXPECT_EQ(BTRCALL(B_UNLOCK, block.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    child.signal();
    EXPECT_EQ(child.wait(), B_NO_ERROR);
}

}  // namespace
}  // namespace btrieve_test
