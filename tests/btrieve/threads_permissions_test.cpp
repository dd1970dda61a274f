// Several threads on their own position blocks (files this process may not
// write: sharing_test.cpp).
#include "btrieve_fixture.h"

#include <unistd.h>

#include <thread>

namespace btrieve_test {
namespace {

TEST_F(BtrieveTest, ThreadsOnTheirOwnBlocksDoNotDisturbEachOther) {
    constexpr int kThreads = 4;
    constexpr int kRecordsEach = 100;
    ASSERT_EQ(createFile(path("threads.dat"), Standard::createBuffer()), B_NO_ERROR);
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            Block block{};
            if (openFile(block, path("threads.dat")) != B_NO_ERROR) {
                ++failures[t];
                return;
            }
            for (int i = 0; i < kRecordsEach; ++i) {
                const auto code = static_cast<std::uint32_t>(t * 1000 + i);
                Call call{Standard::record(0, static_cast<std::int16_t>(t), code)};
                failures[t] += call.run(B_INSERT, block, 0) != B_NO_ERROR;
                // Read it back along key 2 and change it: the cursor is this thread's alone.
                putInt(call.key, 0, 4, code);
                failures[t] += call.run(B_GET_EQUAL, block, 2) != B_NO_ERROR;
                call.data[15] = 0x77;
                failures[t] += call.run(B_UPDATE, block, 2) != B_NO_ERROR;
            }
            failures[t] += BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0) != B_NO_ERROR;
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(failures, std::vector<int>(kThreads, 0));

    Block block{};
    ASSERT_EQ(openFile(block, path("threads.dat")), B_NO_ERROR);
    Call stat{Bytes(200)};
    ASSERT_EQ(stat.run(B_STAT, block, 0), B_NO_ERROR);
    EXPECT_EQ(getInt(stat.data, 6, 4), kThreads * kRecordsEach);
    std::string message;
    EXPECT_EQ(verify(path("threads.dat"), message), B_NO_ERROR) << message;
}

}  // namespace
}  // namespace btrieve_test
