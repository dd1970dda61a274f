// Disk faults injected below SQLite during each kind of write: the call
// answers the published status, a refused write never shows up afterwards
// (also after the writing process dies and the next opener recovers the log),
// earlier records stay, the journal agrees with them (checked by reopened()),
// and the file is usable once the fault is gone.
#include "btrieve_fixture.h"
#include "child_process.h"
#include "fault_vfs.h"

#include <filesystem>
#include <random>

namespace btrieve_test {
namespace {

struct FaultCase {
    const char* name;
    std::uint16_t operation;  // B_INSERT, B_UPDATE, B_DELETE, B_CREATE or B_OPEN
    FaultPlan plan;
    std::int16_t status;  // what the faulty call answers
    std::int16_t after;   // what a read of the same process answers once the fault is gone
};

// Every write commits through one path, so one operation per kind of fault is enough.
const FaultCase kCases[] = {
    {"insert, disk full", B_INSERT, {.failWriteAfter = 0}, B_DISK_FULL, B_NO_ERROR},
    {"insert, failed sync", B_INSERT, {.failSyncs = true}, B_IO_ERROR, B_IO_ERROR},
    {"update, second write fails", B_UPDATE, {.failWriteAfter = 1, .writeError = SQLITE_IOERR_WRITE}, B_IO_ERROR, 0},
    {"delete, disk full", B_DELETE, {.failWriteAfter = 0}, B_DISK_FULL, B_NO_ERROR},
    {"create, disk full", B_CREATE, {.failWriteAfter = 0}, B_DISK_FULL, B_NO_ERROR},
    {"open, no room for the shared memory", B_OPEN, {.failShmGrowth = true}, B_DISK_FULL, B_END_OF_FILE},
};

TEST_F(BtrieveTest, InjectedDiskFaultsAnswerAStatusAndLoseNothing) {
    FaultVfs vfs;
    for (const FaultCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string file = path("faults.dat"), created = path("created.dat");
        std::filesystem::remove(file);
        ASSERT_EQ(createFile(file, Standard::createBuffer()), B_NO_ERROR);
        std::vector<Bytes> records;
        for (std::int32_t id = 1; id <= 3 && c.operation != B_OPEN; ++id)
            records.push_back(Standard::record(id, 1, static_cast<std::uint32_t>(id), 0x11));
        // In a child that dies without closing: the records (so the faulty commit
        // appends to a log holding frames), record 2 current, the faulty call, then
        // one read with the fault lifted. Exits with status * 10 + that read's status.
        Child child([&](int, int) {
            Block block{};
            Call call{Standard::record(c.operation == B_INSERT ? 0 : 2, 9, 99)};
            putInt(call.key, 0, 4, 2);
            if (c.operation != B_OPEN && openFile(block, file) != B_NO_ERROR) return 255;
            for (const Bytes& r : records)
                if (Call insert{r}; insert.run(B_INSERT, block, 0) != B_NO_ERROR) return 254;
            if (c.operation != B_OPEN && Call{call}.run(B_GET_EQUAL, block, 0) != B_NO_ERROR) return 253;
            vfs.arm(c.plan);
            std::int16_t status = c.operation == B_CREATE ? createFile(created, Standard::createBuffer())
                                  : c.operation == B_OPEN ? openFile(block, file)
                                                          : call.run(c.operation, block, 0);
            vfs.arm({});
            if (c.operation == B_OPEN && status != B_NO_ERROR) openFile(block, file);
            return status * 10 + call.run(B_GET_FIRST, block, 0);
        });
        EXPECT_EQ(child.wait(), c.status * 10 + c.after);
        EXPECT_FALSE(std::filesystem::exists(created));
        // Exactly the records from before the fault.
        EXPECT_EQ(reopened(file), records);
    }
}

// The writes of a power-loss trial: inserts, and every third an update of the
// last record. The model is the file after the first `done` of them.
std::vector<Bytes> modelAfter(int done) {
    std::vector<Bytes> records;
    for (int i = 0; i < done; ++i)
        if (i % 3 == 2)
            putInt(records.back(), 10, 4, i);
        else
            records.push_back(Standard::record(static_cast<std::int32_t>(records.size()) + 1, 1,
                                               static_cast<std::uint32_t>(i), 0x22));
    return records;
}

// The power fails at a random write (unsynced writes dropped, or partly kept
// and scrambled); after recovery the file holds every acknowledged write and
// nothing else (the write in flight may or may not be there).
TEST_F(BtrieveTest, PowerLossKeepsEveryAcknowledgedWriteAndNothingElse) {
    constexpr int kWrites = 24;
    FaultVfs vfs;
    std::mt19937 rng(2024);
    for (int trial = 0, count = trials(30); trial < count; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        const std::string file = path("power.dat");
        std::filesystem::remove(file);
        ASSERT_EQ(createFile(file, Standard::createBuffer()), B_NO_ERROR);
        const FaultPlan plan{.powerLossAtWrite = static_cast<int>(rng() % (kWrites * 6)),
                             .scramble = trial % 2 == 1,
                             .seed = static_cast<unsigned>(trial)};
        Child writer([&](int, int out) {
            Block block{};
            vfs.arm(plan);
            if (openFile(block, file) != B_NO_ERROR) return 1;
            for (int i = 0; i < kWrites; ++i) {
                const bool update = i % 3 == 2;
                Call call{modelAfter(i + 1).back()};
                if (update && Call{call}.run(B_GET_LAST, block, 0) != B_NO_ERROR) return 2;
                if (call.run(update ? B_UPDATE : B_INSERT, block, 0) != B_NO_ERROR) return 3;
                Child::pass(out, true);
            }
            return 0;
        });
        int acknowledged = 0;
        while (writer.waitForSignal()) ++acknowledged;
        ASSERT_EQ(writer.wait(), 0);

        const auto found = reopened(file);
        EXPECT_TRUE(found == modelAfter(acknowledged) ||
                    (acknowledged < kWrites && found == modelAfter(acknowledged + 1)))
            << acknowledged << " writes acknowledged, " << found.size() << " records found";
    }
}

}  // namespace
}  // namespace btrieve_test
