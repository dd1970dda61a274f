// A load is all or nothing: a malformed input is refused before anything is
// inserted, and a failed insert undoes the load's whole transaction.
#include "grimstore_fixture.h"

#include <string_view>

namespace grimstore::test {
namespace {

Bytes text(std::string_view s) { return {s.begin(), s.end()}; }

struct MalformedCase {
    const char* name;
    Bytes input;
    const char* where;  // "byte N" the message must name
    const char* what;   // part of the message that says what is wrong
};

std::vector<MalformedCase> malformedCases() {
    const Bytes good = text("8,AAAAAAAA\r\n");
    auto afterGood = [&good](std::string_view rest) {
        Bytes b = good;
        b.insert(b.end(), rest.begin(), rest.end());
        return b;
    };
    return {
        {"missing comma", text("8AAAAAAAA\r\n\x1A"), "byte 1:", "expected a comma"},
        {"bad digits", afterGood("x,BBBBBBBB\r\n\x1A"), "byte 12:", "expected the record length"},
        {"too many digits", text("000008,AAAAAAAA\r\n\x1A"), "byte 0:", "more than 5 digits"},
        {"length mismatch", afterGood("7,BBBBBBB\r\n\x1A"), "byte 12:", "differs from the file's record length 8"},
        {"truncated data", afterGood("8,BBBB"), "byte 12:", "only 4 remain"},
        {"missing CR LF", text("8,AAAAAAAA8,BBBBBBBB\r\n\x1A"), "byte 10:", "expected CR LF"},
        {"missing Ctrl-Z", afterGood(""), "byte 12:", "without the Ctrl-Z"},
        {"trailing bytes", afterGood("\x1A\r\n"), "byte 13:", "2 byte(s) follow the Ctrl-Z"},
    };
}

TEST_F(GrimstoreTest, MalformedInputsAreRefusedWhole) {
    for (const MalformedCase& c : malformedCases()) {
        SCOPED_TRACE(c.name);
        create("a.dat", 8, {"1:4:unsigned"});
        loadRecords("a.dat", {record(1, 8, {'o'}), record(2, 8, {'p'})});
        const Bytes before = saved("a.dat");

        writeFile(path("bad.seq"), c.input);
        const RunResult result = run({"load", path("a.dat"), path("bad.seq")});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_NE(result.err.find(path("bad.seq") + ": " + c.where), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.what), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("nothing was loaded"), std::string::npos) << result.err;
        EXPECT_EQ(saved("a.dat"), before);
    }
}

struct FailedInsertCase {
    const char* name;
    std::vector<std::string> keys;
    std::vector<Bytes> existing;
    std::vector<Bytes> input;  // the third record collides with an existing one on a unique key
};

TEST_F(GrimstoreTest, FailedInsertTakesBackTheWholeLoad) {
    const std::vector<FailedInsertCase> cases{
        {"unique unsigned key",
         {"1:4:unsigned"},
         {record(1, 12, {'a'}), record(2, 12, {'b'})},
         {record(10, 12, {'c'}), record(11, 12, {0x1A}), record(1, 12, {'d'}), record(12, 12, {'e'})}},
        {"autoincrement values assigned during the load",
         {"1:4:autoinc", "5:4:unsigned"},
         {record(0, 12, {1, 0, 0, 0}), record(0, 12, {2, 0, 0, 0})},
         {record(0, 12, {7, 0, 0, 0}), record(0, 12, {8, 0, 0, 0}), record(0, 12, {2, 0, 0, 0}),
          record(0, 12, {9, 0, 0, 0})}},
    };
    for (const FailedInsertCase& c : cases) {
        SCOPED_TRACE(c.name);
        create("a.dat", 12, c.keys);
        loadRecords("a.dat", c.existing);
        const Bytes before = saved("a.dat");

        writeFile(path("more.seq"), sequentialFile(c.input));
        const RunResult result = run({"load", path("a.dat"), path("more.seq")});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_NE(result.err.find("insert of record 3"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("5 (duplicate key value)"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("the file is unchanged"), std::string::npos) << result.err;
        EXPECT_EQ(saved("a.dat"), before);
    }
}

}  // namespace
}  // namespace grimstore::test
