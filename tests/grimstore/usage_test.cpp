// The program's exit statuses: 2 for a wrong command line, 0 for help, 1 for
// a refusal by the record manager, with the file and the status named.
#include "grimstore_fixture.h"

namespace grimstore::test {
namespace {

struct UsageCase {
    std::vector<std::string> args;
    int exitStatus;
    const char* expected;  // part of standard output (status 0) or error output
};

TEST_F(GrimstoreTest, ProgramExitStatuses) {
    const std::vector<UsageCase> cases{
        {{}, 2, "subcommand"},
        {{"frobnicate"}, 2, "unknown subcommand 'frobnicate'; the subcommands are: create, save, load"},
        {{"--version"}, 0, ", libwbtrv32 1."},
        {{"help", "dump"}, 0, "--layout"},
        {{"help", "frobnicate"}, 2, "unknown subcommand 'frobnicate'"},
        {{"create", "a.dat", "-r", "10", "-k", "1:4:note"}, 2, "key type 'note' is not supported"},
        {{"create", "a.dat", "-r", "10", "-k", "1:4:integer:nocase"}, 1, "45 (inconsistent key flags)"},
        {{"create", "a.dat", "-r", "10", "-k", "1:4:integer", "--page-size", "1000"}, 2, "512, 1024"},
        {{"create", "no/such/a.dat", "-r", "10", "-k", "1:4:integer"}, 1, "the folder no/such does not exist"},
        {{"dump", "--layout", "castle", "a.dat"}, 2, "race"},
        {{"stat", "missing.dat", "other.dat"}, 1, "other.dat: open failed with status 12"},
        {{"create", "a.dat", "-k", "1:4:integer"}, 2, "--record-length"},
        {{"create", "a.dat", "-r", "ten", "-k", "1:4:integer"}, 2, "ten"},
        {{"create", "a.dat", "-r", "10", "-k", "1:4"}, 2, "POS:LEN:TYPE"},
        {{"create", "a.dat", "-r", "10", "-k", "1:4:text"}, 2, "unknown key type 'text'"},
        {{"create", "a.dat", "-r", "10", "-k", "1:4:integer:often"}, 2, "unknown key flag"},
        {{"create", "a.dat", "-r", "10", "-k", "0:4:integer"}, 2, "position '0'"},
        {{"save", "a.dat"}, 2, "OUT"},
        {{"stat"}, 2, "FILE"},
        {{"dump", "--bogus", "a.dat"}, 2, "--bogus"},
        {{"create", "--help"}, 0, "--record-length"},
        {{"load", "missing.dat", "no.seq"}, 1, "no.seq: cannot read"},
        {{"create", "a.dat", "-r", "2", "-k", "1:2:integer"}, 1, "28 (invalid record length)"},
        {{"create", "a.dat", "-r", "10", "-k", "9:4:integer"}, 1, "27 (invalid key position)"},
    };
    for (const UsageCase& c : cases) {
        std::string line;
        for (const std::string& arg : c.args) line += arg + " ";
        SCOPED_TRACE(line);
        const RunResult result = run(c.args);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << result.out << result.err;
        const std::string& shown = c.exitStatus == 0 ? result.out : result.err;
        EXPECT_NE(shown.find(c.expected), std::string::npos) << shown;
    }
}

}  // namespace
}  // namespace grimstore::test
