// check finds files damaged behind the record manager's back.
#include "grimstore_fixture.h"

namespace grimstore::test {
namespace {

struct DamageCase {
    const char* name;
    const char* sql;        // run on the data file; empty for a sound file
    const char* expected;   // part of the error output
    bool dumpFails = true;  // the damage lies on dump's way along key 0
};

TEST_F(GrimstoreTest, CheckReportsDamage) {
    const std::vector<DamageCase> cases{
        {"sound file", "", ""},
        {"key column edited", "UPDATE data_t SET key_1 = 999 WHERE id = 2", "verify failed", false},
        {"record shortened", "UPDATE data_t SET data = x'0102' WHERE id = 1", "fault"},
        {"record bytes edited behind the key columns", "UPDATE data_t SET data = x'09000000050000000000' WHERE id = 1",
         "verify failed"},
        {"key offset beyond any record", "UPDATE keys_t SET offset = 1e300 WHERE number = 1", "fault"},
        {"key column disagrees with the first record's bytes", "UPDATE data_t SET key_0 = 7 WHERE id = 1", "fault"},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        create("a.dat", 10, {"1:4:unsigned", "5:2:integer:dup"});
        loadRecords("a.dat", {record(1, 10, {5, 0}), record(2, 10, {6, 0}), record(3, 10, {5, 0})});
        if (*c.sql != '\0') execSql("a.dat", c.sql);

        const RunResult result = run({"check", path("a.dat")});
        if (*c.sql == '\0') {
            EXPECT_EQ(result.exitStatus, 0) << result.err;
            EXPECT_EQ(result.out, path("a.dat") + ": sound, 3 records\n");
            continue;
        }
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_NE(result.err.find(path("a.dat")), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.expected), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("check found"), std::string::npos) << result.err;
        // Dumping a damaged file ends too, with a failure.
        if (c.dumpFails) {
            EXPECT_NE(run({"dump", path("a.dat")}).exitStatus, 0);
        }
    }
}

TEST_F(GrimstoreTest, CheckOfMissingOrForeignFileFails) {
    RunResult result = run({"check", path("missing.dat")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("12 (file not found)"), std::string::npos) << result.err;

    writeFile(path("text.dat"), {'h', 'e', 'l', 'l', 'o', '\n'});
    result = run({"check", path("text.dat")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("30 (not a data file)"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace grimstore::test
