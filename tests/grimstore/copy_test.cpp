// copy carries keys and records, and a refused or failed copy leaves the target
// as it was: absent when it was new, unchanged when it was to be replaced.
#include "grimstore_fixture.h"

#include <nlohmann/json.hpp>

namespace grimstore::test {
namespace {

enum class Target { Absent, SameKeys, OtherKeys };
enum class Expect { Source, Before, Absent };

struct CopyCase {
    const char* name;
    Target target;
    bool replace;
    bool damagedSource;  // its second record stored with a wrong length: the read fails midway
    int exitStatus;
    Expect result;
    const char* message;
};

TEST_F(GrimstoreTest, CopiesCarryKeysAndRecordsAllOrNothing) {
    const std::vector<std::string> sourceKeys{"1:4:autoinc", "5:8:string:nocase,dup"};
    const CopyCase cases[] = {
        {"new file", Target::Absent, false, false, 0, Expect::Source, "verified along key 0: 3 records, checksum"},
        {"existing file kept", Target::SameKeys, false, false, 1, Expect::Before, "exists; --replace copies over it"},
        {"replaced, same keys", Target::SameKeys, true, false, 0, Expect::Source, "verified"},
        {"replaced, other keys", Target::OtherKeys, true, false, 0, Expect::Source, "verified"},
        {"failed into a new file", Target::Absent, false, true, 1, Expect::Absent, "the new file was removed"},
        {"failed over a file", Target::SameKeys, true, true, 1, Expect::Before, "the file is unchanged"},
    };
    const auto statOf = [&](const std::string& name) {
        nlohmann::json stat = nlohmann::json::parse(run({"stat", "--json", path(name)}).out);
        stat.erase("file");
        return stat;
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path("to.dat"));
        create("from.dat", 12, sourceKeys);
        loadRecords("from.dat", {record(0, 12, {'b'}), record(0, 12, {'A'}), record(9, 12, {0x1A, 0})});
        if (c.damagedSource) execSql("from.dat", "UPDATE data_t SET data = x'00' WHERE id = 2");
        if (c.target != Target::Absent) {
            create("to.dat", 12, c.target == Target::SameKeys ? sourceKeys : std::vector<std::string>{"5:4:unsigned"});
            loadRecords("to.dat", {record(7, 12, {'t'})});
        }
        const Bytes before = c.target == Target::Absent ? Bytes{} : saved("to.dat");
        std::vector<std::string> args{"copy", path("from.dat"), path("to.dat")};
        if (c.replace) args.push_back("--replace");
        const RunResult result = run(args);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << result.err;
        EXPECT_NE((result.out + result.err).find(c.message), std::string::npos) << result.out << result.err;
        EXPECT_EQ(std::filesystem::exists(path("to.dat")), c.result != Expect::Absent);
        if (c.result == Expect::Source) {
            EXPECT_EQ(saved("to.dat"), saved("from.dat"));
            EXPECT_EQ(statOf("to.dat"), statOf("from.dat"));
        } else if (c.result == Expect::Before) {
            EXPECT_EQ(saved("to.dat"), before);
        }
    }
}

}  // namespace
}  // namespace grimstore::test
