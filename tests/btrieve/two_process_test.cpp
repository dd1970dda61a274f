// Two processes on one file: they see each other's commits, a lost update is
// refused, and an exclusive open keeps the other process out.
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
    Child child([&](int, int) {
        Block mine{};
        if (const int status = openFile(mine, file); status != B_NO_ERROR) return status;
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
    Block block{};
    openStandard(block);
    ASSERT_EQ(BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);

    // This process holds the file exclusively: the other one is refused.
    ASSERT_EQ(openFile(block, file, B_MODE_EXCLUSIVE), B_NO_ERROR);
    {
        Child child([&](int, int) {
            Block mine{};
            return static_cast<int>(openFile(mine, file));
        });
        EXPECT_EQ(child.wait(), B_FILE_IN_USE);
    }
    ASSERT_EQ(BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);

    // The other process has it open: an exclusive open here is refused until it closes.
    Child child([&](int readFd, int writeFd) {
        Block mine{};
        const int status = openFile(mine, file);
        Child::pass(writeFd, true);
        Child::pass(readFd, false);
        return status;
    });
    ASSERT_TRUE(child.waitForSignal());
    EXPECT_EQ(openFile(block, file, B_MODE_EXCLUSIVE), B_FILE_IN_USE);
    EXPECT_EQ(createFile(file, Standard::createBuffer()), B_FILE_IN_USE);
    child.signal();
    EXPECT_EQ(child.wait(), B_NO_ERROR);
    EXPECT_EQ(openFile(block, file, B_MODE_EXCLUSIVE), B_NO_ERROR);
}

}  // namespace
}  // namespace btrieve_test
