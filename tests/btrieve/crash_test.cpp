// A writer killed at random moments loses nothing it was told was written,
// and leaves each transaction it was inside wholly or not at all.
#include "btrieve_fixture.h"
#include "child_process.h"
#include "test_support/seed.h"

#include <csignal>
#include <map>
#include <random>
#include <set>

namespace btrieve_test {
namespace {

// What the writer reports: an insert acknowledged on its own (transaction 0),
// an insert inside transaction t, or (code 0) the End of transaction t.
struct Report {
    std::uint32_t code = 0;
    std::uint32_t transaction = 0;
};

// The code of a record tells its writer and sequence, so each write is unique.
std::uint32_t codeOf(int round, std::uint32_t sequence) { return static_cast<std::uint32_t>(round) << 20 | sequence; }

// Runs in the child: writes until killed, alone or in transactions of up to 20 inserts.
[[noreturn]] void writeUntilKilled(const std::string& file, int round, std::uint32_t seed, int reportFd) {
    Block block{};
    if (const int status = openFile(block, file); status != B_NO_ERROR) _exit(status);
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
            if (const int status = call.run(B_INSERT, block, 0)) _exit(status);
            report({code, transaction});
        }
        if (inserts)
            if (const int status = BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0)) _exit(status);
        if (inserts) report({0, transaction});
    }
}

TEST_P(EngineTest, AcknowledgedWritesSurviveSigkillAndTransactionsAreWholeOrAbsent) {
    const std::string file = path("crash.dat");
    ASSERT_EQ(createFile(file, Standard::createBuffer()), B_NO_ERROR);
    const std::uint32_t seed = test_support::testSeed("AcknowledgedWritesSurviveSigkill");
    std::mt19937 rng(seed);
    std::set<std::uint32_t> acknowledged;
    std::map<std::uint32_t, std::set<std::uint32_t>> unfinished;  // transaction -> its inserts
    const int kills = trials(20);
    for (int round = 1; round <= kills; ++round) {
        Child child([&](int, int out) -> int { writeUntilKilled(file, round, seed, out); });
        auto note = [&](const Report& r) {
            if (r.transaction == 0)
                acknowledged.insert(r.code);
            else if (r.code != 0)
                unfinished[r.transaction].insert(r.code);
            else  // the End: its inserts are acknowledged
                acknowledged.merge(unfinished.extract(r.transaction).mapped());
        };
        // Wait for the first report, then kill after a random moment.
        Report r;
        ASSERT_TRUE(child.receive(&r, sizeof r)) << "the writer stopped with status " << child.wait();
        note(r);
        usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(rng));
        kill(child.pid(), SIGKILL);
        EXPECT_EQ(child.wait(), -1) << "the writer stopped by itself";
        while (child.receive(&r, sizeof r)) note(r);
    }
    std::set<std::int64_t> codes;
    for (const Bytes& r : reopened(file)) codes.insert(getInt(r, 6, 4, false));
    auto stored = [&](std::uint32_t code) { return codes.count(code) > 0; };
    for (std::uint32_t code : acknowledged) EXPECT_TRUE(stored(code)) << "lost write " << code;
    // A transaction killed before its End reported may have committed, but never in part.
    for (const auto& [transaction, codes] : unfinished) {
        const auto present = std::count_if(codes.begin(), codes.end(), stored);
        EXPECT_TRUE(present == 0 || present == static_cast<long>(codes.size()))
            << present << " of " << codes.size() << " inserts of transaction " << transaction;
    }
}

}  // namespace
}  // namespace btrieve_test
