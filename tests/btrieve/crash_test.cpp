// A writer killed at random moments loses nothing it was told was written.
#include "btrieve_fixture.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <random>
#include <set>

namespace btrieve_test {
namespace {

// The code of a record tells its writer and sequence, so each write is unique.
std::uint32_t codeOf(int round, std::uint32_t sequence) { return static_cast<std::uint32_t>(round) << 20 | sequence; }

// Runs in the child: writes until killed, reporting each acknowledged write.
[[noreturn]] void writeUntilKilled(const std::string& file, int round, int reportFd) {
    Block block{};
    if (openFile(block, file) != B_NO_ERROR) _exit(2);
    for (std::uint32_t sequence = 0;; ++sequence) {
        Call call{Standard::record(0, static_cast<std::int16_t>(round), codeOf(round, sequence),
                                   static_cast<std::uint8_t>(sequence))};
        if (call.run(B_INSERT, block, 0) != B_NO_ERROR) _exit(3);
        const std::uint32_t code = codeOf(round, sequence);
        if (write(reportFd, &code, sizeof code) != sizeof code) _exit(4);
    }
}

TEST_F(BtrieveTest, AcknowledgedWritesSurviveSigkill) {
    const std::string file = path("crash.dat");
    ASSERT_EQ(createFile(file, Standard::createBuffer()), B_NO_ERROR);
    std::mt19937 rng(std::random_device{}());
    std::set<std::uint32_t> acknowledged;
    const int kills = trials(20);
    for (int round = 1; round <= kills; ++round) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            writeUntilKilled(file, round, fds[1]);
        }
        close(fds[1]);
        // Wait for the first acknowledgement, then kill after a random moment.
        std::uint32_t code = 0;
        ASSERT_EQ(read(fds[0], &code, sizeof code), static_cast<ssize_t>(sizeof code));
        acknowledged.insert(code);
        usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(rng));
        kill(child, SIGKILL);
        int wstatus = 0;
        waitpid(child, &wstatus, 0);
        EXPECT_TRUE(WIFSIGNALED(wstatus)) << "the writer stopped by itself: " << WEXITSTATUS(wstatus);
        while (read(fds[0], &code, sizeof code) == static_cast<ssize_t>(sizeof code)) acknowledged.insert(code);
        close(fds[0]);
    }
    std::string message;
    ASSERT_EQ(verify(file, message), B_NO_ERROR) << message;
    Block block{};
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    for (std::uint32_t code : acknowledged) {
        Call call{Bytes(Standard::recordLength)};
        putInt(call.key, 0, 4, code);
        ASSERT_EQ(call.run(B_GET_EQUAL, block, 2), B_NO_ERROR) << "lost write " << code;
        EXPECT_EQ(call.data[Standard::recordLength - 1], static_cast<std::uint8_t>(code & 0xFFFFF));
    }
}

}  // namespace
}  // namespace btrieve_test
