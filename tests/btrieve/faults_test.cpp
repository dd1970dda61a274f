// Disk faults injected below SQLite during each kind of write: the call
// answers the published status, a refused write never shows up afterwards
// (also after the writing process dies and the next opener recovers the log),
// earlier records stay, and the file is usable once the fault is gone.
#include "btrieve_fixture.h"
#include "child_process.h"
#include "fault_vfs.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>

namespace btrieve_test {
namespace {

enum class Op { Insert, Update, Delete, Create, Open };

struct FaultCase {
    const char* name;
    Op op;
    FaultPlan plan;
    std::int16_t status;  // what the faulty call answers
    std::int16_t after;   // what a read of the same process answers once the fault is gone
};

const FaultCase kCases[] = {
    {"insert, disk full", Op::Insert, {.failWriteAfter = 0}, B_DISK_FULL, B_NO_ERROR},
    {"insert, write error",
     Op::Insert,
     {.failWriteAfter = 0, .writeError = SQLITE_IOERR_WRITE},
     B_IO_ERROR,
     B_NO_ERROR},
    {"insert, failed sync", Op::Insert, {.failSyncs = true}, B_IO_ERROR, B_IO_ERROR},
    {"update, failed sync", Op::Update, {.failSyncs = true}, B_IO_ERROR, B_IO_ERROR},
    {"update, second write fails",
     Op::Update,
     {.failWriteAfter = 1, .writeError = SQLITE_IOERR_WRITE},
     B_IO_ERROR,
     B_NO_ERROR},
    {"delete, disk full", Op::Delete, {.failWriteAfter = 0}, B_DISK_FULL, B_NO_ERROR},
    {"delete, failed sync", Op::Delete, {.failSyncs = true}, B_IO_ERROR, B_IO_ERROR},
    {"create, disk full", Op::Create, {.failWriteAfter = 0}, B_DISK_FULL, B_NO_ERROR},
    {"open, no room for the shared memory", Op::Open, {.failShmGrowth = true}, B_DISK_FULL, B_END_OF_FILE},
};

// In a child: opens, inserts three records (so the log holds frames and the
// faulty commit appends to it), makes record 2 current, runs the faulty call,
// lifts the fault, reads once more and dies without closing anything.
// Returns both statuses.
std::pair<int, int> faultInChild(FaultVfs& vfs, const FaultCase& c, const std::string& file,
                                 const std::string& created) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {-1, -1};
    const pid_t child = fork();
    if (child == 0) {
        Block block{};
        Call call{Standard::record(0, 9, 99)};
        int status = B_NO_ERROR;
        if (c.op != Op::Open) {
            putInt(call.key, 0, 4, 2);
            status = openFile(block, file);
            for (std::int32_t id = 1; id <= 3 && status == B_NO_ERROR; ++id) {
                Call insert{Standard::record(0, 1, static_cast<std::uint32_t>(id), 0x11)};
                status = insert.run(B_INSERT, block, 0);
            }
            if (status == B_NO_ERROR) status = call.run(B_GET_EQUAL, block, 0);
            call.data = Standard::record(c.op == Op::Insert ? 0 : 2, 9, 99);
        }
        vfs.arm(c.plan);
        if (status == B_NO_ERROR) {
            switch (c.op) {
                case Op::Insert:
                    status = call.run(B_INSERT, block, 0);
                    break;
                case Op::Update:
                    status = call.run(B_UPDATE, block, 0);
                    break;
                case Op::Delete:
                    status = call.run(B_DELETE, block, 0);
                    break;
                case Op::Create:
                    status = createFile(created, Standard::createBuffer());
                    break;
                case Op::Open:
                    status = openFile(block, file);
                    break;
            }
        } else {
            status = 1000 + status;
        }
        vfs.arm({});
        if (c.op == Op::Open && status != B_NO_ERROR) openFile(block, file);
        const int statuses[2] = {status, call.run(B_GET_FIRST, block, 0)};
        const bool written = write(pipeFds[1], statuses, sizeof statuses) == sizeof statuses;
        _exit(written ? 0 : 1);
    }
    close(pipeFds[1]);
    int statuses[2] = {-1, -1};
    const bool read = ::read(pipeFds[0], statuses, sizeof statuses) == sizeof statuses;
    close(pipeFds[0]);
    int exit = 0;
    waitpid(child, &exit, 0);
    return read ? std::pair{statuses[0], statuses[1]} : std::pair{-1, -1};
}

TEST_F(BtrieveTest, InjectedDiskFaultsAnswerAStatusAndLoseNothing) {
    FaultVfs vfs;
    for (const FaultCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string file = path("faults.dat"), created = path("created.dat");
        std::filesystem::remove(file);
        ASSERT_EQ(createFile(file, Standard::createBuffer()), B_NO_ERROR);
        std::vector<Bytes> records;
        if (c.op != Op::Open)
            for (std::int32_t id = 1; id <= 3; ++id)
                records.push_back(Standard::record(id, 1, static_cast<std::uint32_t>(id), 0x11));

        const auto [refused, after] = faultInChild(vfs, c, file, created);
        EXPECT_EQ(refused, c.status);
        EXPECT_EQ(after, c.after);
        EXPECT_FALSE(std::filesystem::exists(created));
        // The next opener recovers the log the dead child left: exactly the records from before.
        Block block{};
        ASSERT_EQ(openFile(block, file), B_NO_ERROR);
        std::int16_t status = B_NO_ERROR;
        EXPECT_EQ(readAll(block, status), records);
        Call insert{Standard::record(0, 2, 77)};
        EXPECT_EQ(insert.run(B_INSERT, block, 0), B_NO_ERROR);
        BTRCALL(B_RESET, block.data(), nullptr, nullptr, nullptr, 0, 0);
        std::string message;
        EXPECT_EQ(verify(file, message), B_NO_ERROR) << message;
    }
}

// The writes of a power-loss trial: inserts, and every third an update of an
// earlier record. The model is the file after the first `done` of them, by id.
std::map<std::int32_t, Bytes> modelAfter(int done) {
    std::map<std::int32_t, Bytes> records;
    for (int i = 0; i < done; ++i) {
        const auto id = static_cast<std::int32_t>(records.size());
        if (i % 3 == 2)
            putInt(records[1 + i % id], 10, 4, i);
        else
            records[id + 1] = Standard::record(id + 1, 1, static_cast<std::uint32_t>(i), 0x22);
    }
    return records;
}

// The power fails at a random write (unsynced writes dropped, or partly kept
// and scrambled); after recovery the file holds every acknowledged write and
// nothing else (the write in flight may or may not be there).
TEST_F(BtrieveTest, PowerLossKeepsEveryAcknowledgedWriteAndNothingElse) {
    constexpr int kWrites = 24;
    FaultVfs vfs;
    std::mt19937 rng(2024);
    const int count = trials(30);
    for (int trial = 0; trial < count; ++trial) {
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
            std::map<std::int32_t, Bytes> model;
            for (int i = 0; i < kWrites; ++i) {
                const auto next = modelAfter(i + 1);
                const auto id = static_cast<std::int32_t>(model.size());
                Call call{Standard::record(0, 1, 0)};
                if (i % 3 == 2) {
                    putInt(call.key, 0, 4, 1 + i % id);
                    if (call.run(B_GET_EQUAL, block, 0) != B_NO_ERROR) return 2;
                    call.data = next.at(1 + i % id);
                    if (call.run(B_UPDATE, block, 0) != B_NO_ERROR) return 3;
                } else {
                    call.data = next.at(id + 1);
                    putInt(call.data, 0, 4, 0);
                    if (call.run(B_INSERT, block, 0) != B_NO_ERROR) return 4;
                }
                model = next;
                Child::pass(out, true);
            }
            return 0;
        });
        int acknowledged = 0;
        while (writer.waitForSignal()) ++acknowledged;
        ASSERT_EQ(writer.wait(), 0);

        Block block{};
        ASSERT_EQ(openFile(block, file), B_NO_ERROR);
        const auto records = [](const std::map<std::int32_t, Bytes>& model) {
            std::vector<Bytes> all;
            for (const auto& [id, r] : model) all.push_back(r);
            return all;
        };
        std::int16_t status = B_NO_ERROR;
        const auto found = readAll(block, status);
        EXPECT_TRUE(found == records(modelAfter(acknowledged)) ||
                    (acknowledged < kWrites && found == records(modelAfter(acknowledged + 1))))
            << acknowledged << " writes acknowledged, " << found.size() << " records found";
        BTRCALL(B_RESET, block.data(), nullptr, nullptr, nullptr, 0, 0);
        std::string message;
        EXPECT_EQ(verify(file, message), B_NO_ERROR) << message;
    }
}

}  // namespace
}  // namespace btrieve_test
