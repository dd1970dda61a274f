// check finds files damaged behind the record manager's back, and a load that
// meets a full or failing disk halfway leaves the file as it was.
#include "../btrieve/fault_vfs.h"
#include "grimstore_fixture.h"

namespace grimstore::test {
namespace {

struct DamageCase {
    const char* name;
    const char* sql;       // run on the data file; empty for a sound file
    const char* expected;  // part of the error output
    bool dumpFails;        // the damage lies on dump's way along key 0
};

// A sound file, and one damage for each way check learns of one: from the
// record manager's verify, or from a fault met while reading the records.
TEST_F(GrimstoreTest, CheckReportsDamage) {
    const DamageCase cases[] = {
        {"sound file", "", "", false},
        {"key column edited", "UPDATE data_t SET key_1 = 999 WHERE id = 2", "verify failed", false},
        {"record shortened", "UPDATE data_t SET data = x'0102' WHERE id = 1", "fault", true},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        create("a.dat", 10, {"1:4:unsigned", "5:2:integer:dup"});
        loadRecords("a.dat", {record(1, 10, {5, 0}), record(2, 10, {6, 0}), record(3, 10, {5, 0})});
        if (*c.sql != '\0') execSql("a.dat", c.sql);
        const RunResult result = run({"check", path("a.dat")});
        const bool sound = *c.sql == '\0';
        EXPECT_EQ(result.exitStatus, sound ? 0 : 1);
        EXPECT_EQ(result.out, sound ? path("a.dat") + ": sound, 3 records\n" : "");
        for (const std::string& part :
             sound ? std::vector<std::string>{} : std::vector<std::string>{path("a.dat"), c.expected, "check found"})
            EXPECT_NE(result.err.find(part), std::string::npos) << result.err;
        EXPECT_EQ(run({"dump", path("a.dat")}).exitStatus != 0, c.dumpFails);
    }
    writeFile(path("text.dat"), {'h', 'e', 'l', 'l', 'o', '\n'});
    const RunResult text = run({"check", path("text.dat")});
    EXPECT_EQ(text.exitStatus, 1);
    EXPECT_NE(text.err.find("30 (not a data file)"), std::string::npos) << text.err;
}

TEST_F(GrimstoreTest, ALoadThatMeetsADiskFaultChangesNothing) {
    btrieve_test::FaultVfs vfs;
    std::vector<Bytes> input;
    for (uint32_t id = 10; id < 40; ++id) input.push_back(record(id, 12, {'x'}));
    writeFile(path("more.seq"), sequentialFile(input));
    // The load is one transaction: a write fault within it leaves the file as it was.
    for (const btrieve_test::FaultPlan& plan : {btrieve_test::FaultPlan{.failWriteAfter = 2}, {.failSyncs = true}}) {
        create("a.dat", 12, {"1:4:unsigned"});
        loadRecords("a.dat", {record(1, 12, {'a'}), record(2, 12, {'b'})});
        const Bytes before = saved("a.dat");
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
