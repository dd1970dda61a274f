// A load is all or nothing: a malformed record or a failed insert anywhere in
// the input undoes the load's whole transaction.
#include "grimstore_fixture.h"

#include <string_view>

namespace grimstore::test {
namespace {

Bytes text(std::string_view s) { return {s.begin(), s.end()}; }

Bytes afterGood(std::string_view rest) { return text("8,AAAAAAAA\r\n" + std::string(rest)); }

struct RefusedLoadCase {
    const char* name;
    std::vector<std::string> keys;
    std::vector<Bytes> existing;  // records of 8 bytes, or 12 for the failed inserts
    Bytes input;
    std::vector<std::string> parts;  // of the error output
};

TEST_F(GrimstoreTest, RefusedLoadsChangeNothing) {
    const std::vector<std::string> unsignedKey{"1:4:unsigned"};
    const std::vector<Bytes> existing{record(1, 8, {'o'}), record(2, 8, {'p'})};
    const auto malformed = [&](const char* name, Bytes input, std::string where, std::string what) {
        return RefusedLoadCase{name, unsignedKey, existing, input, {"in.seq: " + where, what, "nothing was loaded"}};
    };
    // In the failed inserts the third record collides with an existing one on a unique key.
    const std::vector<std::string> duplicate{"insert of record 3", "5 (duplicate key value)", "the file is unchanged"};
    const RefusedLoadCase cases[] = {
        malformed("missing comma", text("8AAAAAAAA\r\n\x1A"), "byte 1:", "expected a comma"),
        malformed("bad digits", afterGood("x,BBBBBBBB\r\n\x1A"), "byte 12:", "expected the record length"),
        malformed("too many digits", text("000008,AAAAAAAA\r\n\x1A"), "byte 0:", "more than 5 digits"),
        malformed("length mismatch", afterGood("7,BBBBBBB\r\n\x1A"),
                  "byte 12:", "differs from the file's record length 8"),
        malformed("truncated data", afterGood("8,BBBB"), "byte 12:", "only 4 remain"),
        malformed("missing CR LF", text("8,AAAAAAAA8,BBBBBBBB\r\n\x1A"), "byte 10:", "expected CR LF"),
        malformed("missing Ctrl-Z", afterGood(""), "byte 12:", "without the Ctrl-Z"),
        malformed("trailing bytes", afterGood("\x1A\r\n"), "byte 13:", "2 byte(s) follow the Ctrl-Z"),
        {"unique unsigned key",
         unsignedKey,
         {record(1, 12, {'a'}), record(2, 12, {'b'})},
         sequentialFile({record(10, 12, {'c'}), record(11, 12, {0x1A}), record(1, 12, {'d'}), record(12, 12, {'e'})}),
         duplicate},
        {"autoincrement values assigned during the load",
         {"1:4:autoinc", "5:4:unsigned"},
         {record(0, 12, {1, 0, 0, 0}), record(0, 12, {2, 0, 0, 0})},
         sequentialFile({record(0, 12, {7, 0, 0, 0}), record(0, 12, {8, 0, 0, 0}), record(0, 12, {2, 0, 0, 0}),
                         record(0, 12, {9, 0, 0, 0})}),
         duplicate},
    };
    for (const RefusedLoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        create("a.dat", static_cast<uint32_t>(c.existing.front().size()), c.keys);
        loadRecords("a.dat", c.existing);
        const Bytes before = saved("a.dat");
        writeFile(path("in.seq"), c.input);
        const RunResult result = run({"load", path("a.dat"), path("in.seq")});
        EXPECT_EQ(result.exitStatus, 1);
        for (const std::string& part : c.parts) EXPECT_NE(result.err.find(part), std::string::npos) << result.err;
        EXPECT_EQ(saved("a.dat"), before);
    }
}

}  // namespace
}  // namespace grimstore::test
