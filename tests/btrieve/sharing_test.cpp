// Files shared between processes, threads and users: an exclusive open keeps
// the other process out; processes see each other's commits, a lost update is
// refused (80), a transaction stays unseen until its End, a record locked in one
// is refused (84) to the other; a file replaced while another process still has
// the old one open; many writers at once; files this user may read but not write.
#include "btrieve_fixture.h"
#include "child_process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

namespace btrieve_test {
namespace {

TEST_F(BtrieveTest, AFileRenamedOverOneStillOpenElsewhereIsNeverMixedWithItsLog) {
    const std::string file = path("world.dat");
    fill(file, 1, 3);
    // Another process keeps the old file open with changes still in its log.
    Child holder(file, [](Block& block, const Pause& pause) {
        if (Call insert{Standard::record(0, 1, 10)}; insert.run(B_INSERT, block, 0) != B_NO_ERROR) return 2;
        pause();
        return int{BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0)};
    });
    ASSERT_TRUE(holder.waitForSignal());
    fill(path("new.dat"), 2, 4);
    ASSERT_EQ(std::rename(path("new.dat").c_str(), file.c_str()), 0);

    Block block{};
    EXPECT_EQ(openFile(block, file), B_FILE_IN_USE);
    std::string message;
    EXPECT_EQ(verify(file, message), B_FILE_IN_USE) << message;
    holder.signal();
    ASSERT_EQ(holder.wait(), B_NO_ERROR);

    const auto records = reopened(file);
    EXPECT_EQ(records.size(), 4u);
    for (const Bytes& r : records) EXPECT_EQ(getInt(r, 4, 2), 2);
}

// Several processes, each with threads on position blocks of their own,
// increment shared counters (read, add one, update; 80 means another got
// there first, so read again) and insert records of their own. No update is
// lost, short writes never make a waiter give up with 85, and a thread's
// cursor is its own.
TEST_P(EngineTest, ManyWritersLoseNothingAndNeverGiveUp) {
    constexpr int kWriters = 4, kThreads = 2, kRounds = 40, kCounters = 3;
    const std::string file = path("counters.dat");
    fill(file, 0, kCounters);
    // One thread's rounds as writer w (1 on): 0 or 100 + the status that failed.
    auto writeRounds = [&](int w) {
        Block block{};
        std::int16_t status = openFile(block, file);
        for (int round = 0; round < kRounds && status == B_NO_ERROR; ++round) {
            Call call{Bytes(Standard::recordLength)};
            putInt(call.key, 0, 4, 1 + (w + round) % kCounters);
            for (status = B_CONFLICT; status == B_CONFLICT;) {
                if ((status = call.run(B_GET_EQUAL, block, 0)) != B_NO_ERROR) break;
                putInt(call.data, 10, 4, getInt(call.data, 10, 4) + 1);
                status = call.run(B_UPDATE, block, 0);
            }
            Call insert{
                Standard::record(0, static_cast<std::int16_t>(w), static_cast<std::uint32_t>(w * 1000 + round))};
            if (status == B_NO_ERROR) status = insert.run(B_INSERT, block, 0);
        }
        BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
        return status == B_NO_ERROR ? 0 : 100 + status % 100;
    };
    std::vector<std::unique_ptr<Child>> writers;
    for (int p = 0; p < kWriters; ++p) {
        writers.push_back(std::make_unique<Child>([&, p](int, int) {
            std::vector<int> answers(kThreads);
            std::vector<std::jthread> threads;
            for (int t = 0; t < kThreads; ++t)
                threads.emplace_back([&, t] { answers[t] = writeRounds(p * kThreads + 1 + t); });
            threads.clear();
            return *std::max_element(answers.begin(), answers.end());
        }));
    }
    for (auto& w : writers) EXPECT_EQ(w->wait(), 0) << "100 + status: 85 is a waiter that gave up";

    std::int64_t increments = 0;
    std::vector<int> perWriter(kWriters * kThreads + 1, 0), expected(kWriters * kThreads + 1, kRounds);
    expected[0] = kCounters;
    for (const Bytes& r : reopened(file)) {
        ++perWriter[static_cast<std::size_t>(getInt(r, 4, 2))];
        increments += getInt(r, 4, 2) == 0 ? getInt(r, 10, 4) : 0;
    }
    EXPECT_EQ(increments, kWriters * kThreads * kRounds);
    EXPECT_EQ(perWriter, expected);
}

// A file this user may read but not write, in a folder it cannot write (read
// by an unprivileged user; the test switches to one where it runs as root).
TEST_F(BtrieveTest, ReadOnlyMediaOpenForReadingWithoutWritingAnything) {
    const std::filesystem::path media = dir_ / "media";
    std::filesystem::create_directory(media);
    const std::string file = (media / "world.dat").string(), secret = (media / "secret.dat").string();
    fill(file, 1, 3);
    fill(secret, 1, 1);
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    ASSERT_EQ(chmod(secret.c_str(), 0), 0);
    ASSERT_EQ(chmod(media.c_str(), 0555), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
    const auto listing = [&] {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(media)) names.insert(e.path().filename());
        return names;
    };
    const auto before = listing();
    Child reader([&](int, int) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 99;
        if (geteuid() == 0) return 98;
        int check = 0;
        for (std::int8_t mode : {B_MODE_NORMAL, B_MODE_READ_ONLY}) {
            Block block{};
            if (++check, openFile(block, file, mode) != B_NO_ERROR) return check;
            std::int16_t status = B_NO_ERROR;
            if (++check, readAll(block, status).size() != 3 || status != B_NO_ERROR) return check;
            Call call{Standard::record(0, 1, 50)};
            for (auto [op, want] : {std::pair{B_INSERT, B_ACCESS_DENIED},
                                    {B_GET_FIRST, B_NO_ERROR},
                                    {B_UPDATE, B_ACCESS_DENIED},
                                    {B_DELETE, B_ACCESS_DENIED}})
                if (++check, call.run(op, block, 0) != want) return check;
            BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
        }
        std::string message;
        if (++check, verify(file, message) != B_NO_ERROR) return check;
        // A file it may not even read is a permission problem, never "not a data file".
        Block block{};
        if (++check, openFile(block, secret) != B_ACCESS_DENIED) return check;
        return 0;
    });
    EXPECT_EQ(reader.wait(), 0) << "the number of the check that failed";
    EXPECT_EQ(listing(), before);
    chmod(media.c_str(), 0755);
}

TEST_P(EngineTest, ExclusiveOpenKeepsTheOtherProcessOut) {
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
// record locked in one process answers 84 to the other until unlocked, a
// transaction stays unseen and its records locked until its End, and two
// processes each waiting for the other's record do not wait out the second.
TEST_P(EngineTest, AnotherProcessMeetsLostUpdatesLocksAndTransactions) {
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
        // up after a second), an update and a delete are refused; a plain read is not.
        for (std::uint16_t op : {B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, B_STEP_FIRST + B_MULTIPLE_WAIT_LOCK})
            if (const int status = c.run(op, mine, 0); status != B_RECORD_IN_USE) return 100 + status;
        if (c.run(B_GET_FIRST, mine, 0) != B_NO_ERROR) return 98;
        for (std::uint16_t op : {B_UPDATE, B_DELETE})
            if (const int status = c.run(op, mine, 0); status != B_RECORD_IN_USE) return 100 + status;
        if (c.run(B_GET_LAST + B_SINGLE_NOWAIT_LOCK, mine, 0) != B_NO_ERROR) return 97;  // another record
        pause();
        if (c.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, mine, 0) != B_NO_ERROR) return 96;  // unlocked there now
        BTRCALL(B_UNLOCK, mine.data(), nullptr, nullptr, nullptr, 0, 0);
        pause();
        // A transaction there holds an insert: unseen, and a write here is refused after a short wait, not hung.
        // The record it unlocked and the one it changed stay locked until its End.
        if (count() != 2) return 95;
        if (Call insert{Standard::record(0, 3, 3)}; insert.run(B_INSERT, mine, 0) != B_FILE_IN_USE) return 94;
        for (std::uint16_t op : {B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, B_GET_LAST + B_SINGLE_NOWAIT_LOCK})
            if (const int status = c.run(op, mine, 0); status != B_RECORD_IN_USE) return 100 + status;
        pause();
        if (c.run(B_GET_LAST + B_MULTIPLE_NOWAIT_LOCK, mine, 0) != B_NO_ERROR) return 93;
        if (count() != 3) return 99;
        pause();
        // Each process holds one record and waits for the other's.
        const int waited = c.run(B_GET_FIRST + B_MULTIPLE_WAIT_LOCK, mine, 0);
        BTRCALL(B_UNLOCK, mine.data(), nullptr, nullptr, nullptr, 0, -2);
        return waited;
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
    ASSERT_EQ(call.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, block, 0), B_NO_ERROR);
    EXPECT_EQ(BTRCALL(B_UNLOCK, block.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_LAST, block, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_UPDATE, block, 0), B_NO_ERROR);
    call.data = Standard::record(0, 4, 4);
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    child.signal();
    ASSERT_TRUE(child.waitForSignal());
    ASSERT_EQ(BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST + B_SINGLE_NOWAIT_LOCK, block, 0), B_NO_ERROR);
    child.signal();
    ASSERT_TRUE(child.waitForSignal());
    child.signal();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // The wait that closes the circle answers 78 at once, in whichever process sees it.
    const int waited = call.run(B_GET_LAST + B_SINGLE_WAIT_LOCK, block, 0);
    const int childWaited = child.wait();
    EXPECT_TRUE(waited == B_DEADLOCK || childWaited == B_DEADLOCK) << waited << " " << childWaited;
}

}  // namespace
}  // namespace btrieve_test
