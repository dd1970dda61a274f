// journal on|off|status and prune: what each says, its exit status, and the
// times it reads and writes.
#include "grimstore_fixture.h"
#include "time_text.h"

namespace grimstore::test {
namespace {

TEST_F(GrimstoreTest, JournalSwitchesShowsAndPrunes) {
    create("a.dat", 10, {"1:4:unsigned"});
    loadRecords("a.dat", {record(1, 10, {5}), record(2, 10, {6}), record(3, 10, {7})});
    const std::string a = path("a.dat");
    const struct {
        std::vector<std::string> args;
        int exitStatus;
        std::string expected;  // standard output (status 0) or part of the error output
    } steps[] = {
        {{"journal", "status", a}, 0, a + ": journal on; 3 entries, 1 to 3, "},
        {{"journal", "off", a}, 0, a + ": journal off\n"},
        {{"journal", "status", a}, 0, a + ": journal off; 3 entries, 1 to 3, "},
        {{"journal", "on", a, path("missing.dat")}, 1, "missing.dat: journal on failed with status 12"},
        {{"journal", "prune", a, "--keep", "1"}, 0, a + ": pruned 2 entries\n"},
        {{"journal", "prune", a, "--before", "2000-01-01T00:00:00Z"}, 0, a + ": pruned 0 entries\n"},
        {{"journal", "prune", a, "--before", "2999-01-01"}, 0, a + ": pruned 1 entry\n"},
        {{"journal", "status", a}, 0, a + ": journal on; no entries\n"},
        {{"journal", "prune", a}, 2, "give --before TIME or --keep N"},
        {{"journal", "prune", a, "--keep", "1", "--before", "2000-01-01"}, 2, "excludes"},
        {{"journal", "prune", a, "--before", "yesterday"}, 2, "not a time"},
        {{"journal", "sideways", a}, 2, "subcommand is required"},
    };
    for (const auto& step : steps) {
        std::string line;
        for (const std::string& arg : step.args) line += arg + " ";
        SCOPED_TRACE(line);
        const RunResult result = run(step.args);
        EXPECT_EQ(result.exitStatus, step.exitStatus) << result.out << result.err;
        if (step.exitStatus == 0)
            EXPECT_EQ(result.out.substr(0, step.expected.size()), step.expected);
        else
            EXPECT_NE(result.err.find(step.expected), std::string::npos) << result.err;
    }
    // A file of an earlier version has no journal until it is switched on.
    execSql("a.dat", "DROP TABLE journal_t; DROP TABLE journal_state_t; UPDATE metadata_t SET version = 3");
    EXPECT_NE(run({"journal", "status", a}).out.find("no journal"), std::string::npos);
    EXPECT_EQ(run({"journal", "on", a}).exitStatus, 0);
    EXPECT_EQ(run({"journal", "status", a}).out, a + ": journal on; no entries\n");
}

TEST(TimeText, ReadsAndWritesIsoTimes) {
    const struct {
        const char* text;
        std::optional<int64_t> utc;  // microseconds; none: refused
    } cases[] = {
        {"1970-01-01T00:00:00Z", 0},
        {"2026-03-07T10:05:30Z", 1772877930000000},
        {"2026-03-07 10:05:30.25Z", 1772877930250000},
        {"2026-03-07T11:05:30+01:00", 1772877930000000},
        {"2026-03-07T09:35:30-0030", 1772877930000000},
        {"2026-03-07T10:05Z", 1772877900000000},
        {"2026-02-30T00:00:00Z", std::nullopt},
        {"2026-13-01", std::nullopt},
        {"2026-03-07T25:00Z", std::nullopt},
        {"2026-03-07T10:05:30.Z", std::nullopt},
        {"2026-03-07T10:05:30Zulu", std::nullopt},
        {"yesterday", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseTime(c.text), c.utc);
        if (c.utc) {
            EXPECT_EQ(parseTime(formatUtc(*c.utc)), c.utc);
        }
    }
    EXPECT_EQ(formatUtc(1772877930250000), "2026-03-07T10:05:30.250000Z");
    EXPECT_EQ(formatUtc(-1), "1969-12-31T23:59:59.999999Z");
    // Without a zone, the local time of that day.
    setenv("TZ", "UTC+2", 1);
    tzset();
    EXPECT_EQ(parseTime("2026-03-07"), 1772841600000000 + 2 * 3600 * int64_t{1000000});
    unsetenv("TZ");
    tzset();
}

}  // namespace
}  // namespace grimstore::test
