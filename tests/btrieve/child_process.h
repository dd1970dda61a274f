// A forked child process for tests of several processes on one file.
#pragma once

#include "btrieve_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace btrieve_test {

// Signals the other process and waits for its signal back.
using Pause = std::function<void()>;

// A child process running body(readFd, writeFd) on two pipes to this one; its
// exit code is the status it answered.
class Child {
public:
    explicit Child(const std::function<int(int, int)>& body) {
        int toChild[2], toParent[2];
        if (pipe(toChild) != 0 || pipe(toParent) != 0 || (pid_ = fork()) < 0) return;
        if (pid_ == 0) {
            close(toChild[1]);  // so a parent that gives up ends the child's wait
            close(toParent[0]);
            _exit(body(toChild[0], toParent[1]));
        }
        close(toChild[0]);
        close(toParent[1]);
        in_ = toParent[0], out_ = toChild[1];
    }
    // A child that opens file (answering the open's status if refused) and answers body(block, pause).
    Child(const std::string& file, const std::function<int(Block&, const Pause&)>& body)
        : Child([&](int in, int out) {
              Block block{};
              if (const int status = openFile(block, file); status != B_NO_ERROR) return status;
              return body(block, [&] {
                  if (pass(out, true)) pass(in, false);
              });
          }) {}
    ~Child() {
        if (pid_ > 0) wait();
        close(in_);
        close(out_);
    }
    // One byte each way: a step of the dance between the two processes.
    bool waitForSignal() const { return receive(nullptr, 1); }
    // Reads size bytes the child wrote (nullptr: one byte, dropped).
    bool receive(void* into, std::size_t size) const {
        char c = 0;
        return read(in_, into ? into : &c, size) == static_cast<ssize_t>(size);
    }
    void signal() const { pass(out_, true); }
    static bool pass(int fd, bool send) {
        char c = 'g';
        return (send ? write(fd, &c, 1) : read(fd, &c, 1)) == 1;
    }
    pid_t pid() const { return pid_; }
    int wait() {  // -1 also when no child was started or it was killed
        int status = 0;
        if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
};

// Creates file with count standard records of group, codes 0 on: what the
// processes of a test then share.
inline void fill(const std::string& file, std::int16_t group, int count) {
    Block block{};
    ASSERT_EQ(createFile(file, Standard::createBuffer()), B_NO_ERROR);
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    for (int i = 0; i < count; ++i) {
        Call insert{Standard::record(0, group, static_cast<std::uint32_t>(i))};
        ASSERT_EQ(insert.run(B_INSERT, block, 0), B_NO_ERROR);
    }
    ASSERT_EQ(BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
}

// Reopens the file as the next process would (recovering what a dead one
// left), checks that its journal agrees with its records (no change without
// its entry, no entry without its change), that it takes a write and passes
// verify; returns its records.
inline std::vector<Bytes> reopened(const std::string& file) {
    Block block{};
    EXPECT_EQ(openFile(block, file), B_NO_ERROR);
    std::int16_t status = B_NO_ERROR;
    const auto records = readAll(block, status);
    EXPECT_EQ(status, B_NO_ERROR);
    EXPECT_EQ(replayJournal(file), recordsByPosition(block)) << "the journal and the records disagree";
    Call insert{Standard::record(0, 2, 77)};
    EXPECT_EQ(insert.run(B_INSERT, block, 0), B_NO_ERROR);
    EXPECT_EQ(replayJournal(file), recordsByPosition(block)) << "the write after recovery was not journaled";
    BTRCALL(B_RESET, block.data(), nullptr, nullptr, nullptr, 0, 0);
    std::string message;
    EXPECT_EQ(verify(file, message), B_NO_ERROR) << message;
    return records;
}

}  // namespace btrieve_test
