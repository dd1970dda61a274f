// check finds files damaged behind the record manager's back.
#include "grimstore_fixture.h"

namespace grimstore::test {
namespace {

struct DamageCase {
    const char* name;
    const char* sql;       // run on the data file; empty for a sound file
    const char* expected;  // part of the error output
};

TEST_F(GrimstoreTest, CheckReportsDamage) {
    const std::vector<DamageCase> cases{
        {"sound file", "", ""},
        {"key column edited", "UPDATE data_t SET key_1 = 999 WHERE id = 2", "verify failed"},
        {"record shortened", "UPDATE data_t SET data = x'0102' WHERE id = 1", "fault"},
        {"record bytes edited behind the key columns", "UPDATE data_t SET data = x'09000000050000000000' WHERE id = 1",
         "verify failed"},
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
    }
}

}  // namespace
}  // namespace grimstore::test
