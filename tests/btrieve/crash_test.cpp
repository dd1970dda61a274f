// A writer of two files killed at random moments (every other time while an
// End runs) loses nothing it was told was written, and leaves each
// transaction it was inside wholly or not at all in each file. On a server,
// where a transaction over several files is one commit, it leaves it in both
// files or in neither, also when its session is terminated instead. Each
// file's journal then holds exactly its committed changes (checked by reopened()).
#include "btrieve_fixture.h"
#include "child_process.h"
#include "test_support/seed.h"

#include <algorithm>
#include <csignal>
#include <map>
#include <random>
#include <set>

namespace btrieve_test {
namespace {

// What the writer reports: an insert acknowledged on its own (transaction 0),
// an insert inside transaction t, the End of t about to begin (code
// kEndBegins), or (code 0) the End of transaction t.
struct Report {
    std::uint32_t code = 0;
    std::uint32_t transaction = 0;
};
constexpr std::uint32_t kEndBegins = 1;

// The code of a record tells its writer and sequence, so each write is unique.
std::uint32_t codeOf(int round, std::uint32_t sequence) { return static_cast<std::uint32_t>(round) << 20 | sequence; }

// Runs in the child: writes each record to both files until killed (or a call
// fails, its status then the exit code), alone or in transactions of up to 20 inserts.
[[noreturn]] void writeUntilKilled(const std::string (&files)[2], int round, std::uint32_t seed, int reportFd) {
    Block blocks[2]{};
    for (int f = 0; f < 2; ++f)
        if (const int status = openFile(blocks[f], files[f]); status != B_NO_ERROR) _exit(status);
    std::mt19937 rng(seed + static_cast<std::uint32_t>(round));
    auto report = [&](Report r) {
        if (write(reportFd, &r, sizeof r) != sizeof r) _exit(255);
    };
    for (std::uint32_t sequence = 1;;) {
        const int inserts = std::uniform_int_distribution<int>(0, 20)(rng);
        const std::uint32_t transaction = inserts ? codeOf(round, sequence) : 0;
        if (inserts)
            if (const int status = BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0))
                _exit(status);
        for (int i = 0; i < std::max(inserts, 1); ++i, ++sequence) {
            const std::uint32_t code = codeOf(round, sequence);
            Call call{Standard::record(0, static_cast<std::int16_t>(round), code, static_cast<std::uint8_t>(sequence))};
            for (Block& block : blocks)
                if (const int status = call.run(B_INSERT, block, 0)) _exit(status);
            report({code, transaction});
        }
        if (inserts) report({kEndBegins, transaction});
        if (inserts)
            if (const int status = BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0)) _exit(status);
        if (inserts) report({0, transaction});
    }
}

TEST_P(EngineTest, AcknowledgedWritesSurviveSigkillAndTransactionsAreWholeOrAbsent) {
    const std::string files[2] = {path("crash.dat"), path("crash2.dat")};
    for (const std::string& file : files) ASSERT_EQ(createFile(file, Standard::createBuffer()), B_NO_ERROR);
    const std::uint32_t seed = test_support::testSeed("AcknowledgedWritesSurviveSigkill");
    std::mt19937 rng(seed);
    std::set<std::uint32_t> acknowledged;
    std::map<std::uint32_t, std::set<std::uint32_t>> unfinished;  // transaction -> its inserts
    const int kills = trials(20);
    for (int round = 1; round <= kills; ++round) {
        Child child([&](int, int out) -> int { writeUntilKilled(files, round, seed, out); });
        auto note = [&](const Report& r) {
            if (r.transaction == 0)
                acknowledged.insert(r.code);
            else if (r.code > kEndBegins)
                unfinished[r.transaction].insert(r.code);
            else if (r.code == 0)  // the End: its inserts are acknowledged
                acknowledged.merge(unfinished.extract(r.transaction).mapped());
        };
        // Wait for the first report, or every other round for an End to begin, then stop it after a random moment.
        Report r;
        do {
            ASSERT_TRUE(child.receive(&r, sizeof r)) << "the writer stopped with status " << child.wait();
            note(r);
        } while (round % 2 == 0 && r.code != kEndBegins);
        usleep(std::uniform_int_distribution<useconds_t>(0, round % 2 ? 30000 : 3000)(rng));
        // A session ended by the server's administrator makes the writer's next call answer 20.
        const bool terminate = onServer() && round % 4 == 0 && schema_->terminateSessions();
        if (!terminate) kill(child.pid(), SIGKILL);
        EXPECT_EQ(child.wait(), terminate ? B_SERVER_LOST : -1) << "the writer stopped by itself";
        while (child.receive(&r, sizeof r)) note(r);
        ASSERT_TRUE(!onServer() || schema_->sessions(0) == 0) << "its session is gone, and its commit with it";
    }
    std::vector<std::set<std::int64_t>> stored(2);
    for (int f = 0; f < 2; ++f)
        for (const Bytes& r : reopened(files[f])) stored[f].insert(getInt(r, 6, 4, false));
    for (std::uint32_t code : acknowledged)
        for (const auto& codes : stored) EXPECT_TRUE(codes.contains(code)) << "lost write " << code;
    // A transaction killed before its End reported may have committed, but never in part.
    for (const auto& [transaction, codes] : unfinished) {
        long present[2] = {};
        for (int f = 0; f < 2; ++f)
            present[f] = std::ranges::count_if(codes, [&](auto c) { return stored[f].contains(c); });
        for (long n : present)
            EXPECT_TRUE(n == 0 || n == static_cast<long>(codes.size())) << n << " of " << transaction;
        EXPECT_TRUE(!onServer() || present[0] == present[1]) << "transaction " << transaction << " in one file only";
    }
}

}  // namespace
}  // namespace btrieve_test
