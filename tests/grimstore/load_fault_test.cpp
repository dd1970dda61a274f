// A load that meets a full disk or a failing disk halfway changes nothing:
// the file holds what it held before, and loads again once the fault is gone.
#include "../btrieve/fault_vfs.h"
#include "grimstore_fixture.h"

namespace grimstore::test {
namespace {

TEST_F(GrimstoreTest, ALoadThatMeetsADiskFaultChangesNothing) {
    btrieve_test::FaultVfs vfs;
    // The write fault comes within the first insert: a lasting fault after some
    // inserts would also refuse the deletes that take them back, until a load
    // runs in one transaction.
    const std::pair<const char*, btrieve_test::FaultPlan> faults[] = {
        {"disk full", {.failWriteAfter = 2}},
        {"write error", {.failWriteAfter = 2, .writeError = SQLITE_IOERR_WRITE}},
        {"failed sync", {.failSyncs = true}},
    };
    std::vector<Bytes> input;
    for (uint32_t id = 10; id < 40; ++id) input.push_back(record(id, 12, {'x'}));
    for (const auto& [name, plan] : faults) {
        SCOPED_TRACE(name);
        create("a.dat", 12, {"1:4:unsigned"});
        loadRecords("a.dat", {record(1, 12, {'a'}), record(2, 12, {'b'})});
        const Bytes before = saved("a.dat");
        writeFile(path("more.seq"), sequentialFile(input));
        vfs.arm(plan);
        EXPECT_NE(run({"load", path("a.dat"), path("more.seq")}).exitStatus, 0);
        vfs.arm({});
        EXPECT_EQ(saved("a.dat"), before);
        EXPECT_EQ(run({"load", path("a.dat"), path("more.seq")}).exitStatus, 0);
        EXPECT_EQ(run({"check", path("a.dat")}).exitStatus, 0);
    }
}

}  // namespace
}  // namespace grimstore::test
