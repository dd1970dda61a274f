// save and load carry every byte value unchanged, including the ones that
// look like the sequential file's own separators.
#include "grimstore_fixture.h"

#include <wbtrv32/client.h>
#include <nlohmann/json.hpp>

namespace grimstore::test {
namespace {

TEST_F(GrimstoreTest, SaveAndLoadRoundTripCarriesSeparatorBytes) {
    create("a.dat", 12, {"1:4:unsigned"});
    // Ids and fillers full of NUL, CR, LF, comma and Ctrl-Z; ascending ids so the
    // file's key order is the input order.
    const Bytes input = sequentialFile(
        {record(0x00000001, 12, {0x00}), record(0x00000A0D, 12, {0x0D, 0x0A}), record(0x00001A2C, 12, {0x1A}),
         record(0x000D0A1A, 12, {0x2C, 0x0D, 0x0A, 0x1A, 0x00}), record(0x1A2C0D0A, 12, {0x0A, 0x0D, 0x2C})});
    writeFile(path("in.seq"), input);
    const RunResult result = run({"load", path("a.dat"), path("in.seq")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("loaded 5 records"), std::string::npos) << result.out;

    EXPECT_EQ(saved("a.dat"), input);

    // Create without --replace refuses an existing file and leaves its records.
    const RunResult again = run({"create", path("a.dat"), "-r", "12", "-k", "1:4:unsigned"});
    EXPECT_EQ(again.exitStatus, 1);
    EXPECT_NE(again.err.find("a.dat: create failed with status 59 (file already exists)"), std::string::npos)
        << again.err;
    EXPECT_EQ(saved("a.dat"), input);
}

// Keys of several segments and other types, one through a collating sequence
// given as a file: dump shows each value in its type's form, stat names the sequence.
TEST_F(GrimstoreTest, KeysOfEveryKindAreCreatedAndDumpedInTheirTypesForms) {
    std::string sequence = "\xACREVERSE ";
    for (int b = 0; b < 256; ++b) sequence += static_cast<char>(255 - b);
    writeFile(path("reverse.alt"), Bytes(sequence.begin(), sequence.end()));
    std::vector<std::string> args{"create", path("t.dat"), "-r", "36", "--collating-sequence", path("reverse.alt")};
    for (const char* key : {"1:4:autoinc", "5:10:string:alt,dup+15:4:date:desc,dup", "19:2:money:null",
                            "21:3:numeric:dup", "24:4:time:dup", "28:4:float:dup", "32:5:lstring:dup"})
        args.insert(args.end(), {"-k", key});
    const RunResult made = run(args);
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    loadRecords("t.dat",
                {Bytes{0,    0,    0,   0,   'A', 'l', 'i', 'c', 'e', 0, 0, 0,    0,    0, 7,   3,   0xE8, 0x07,
                       0x12, 0x3D, '1', '2', 'J', 5,   4,   3,   2,   0, 0, 0xC0, 0xBF, 3, 'a', 'b', 'c',  'd'}});
    const RunResult dump = run({"dump", path("t.dat")});
    ASSERT_EQ(dump.exitStatus, 0) << dump.err;
    EXPECT_EQ(nlohmann::json::parse(dump.out.substr(0, dump.out.find('\n')))["keys"],
              nlohmann::json::parse(R"([1, ["Alice", "2024-03-07"], "-1.23", "-121", "02:03:04.05", -1.5, "abc"])"));
    EXPECT_NE(run({"stat", path("t.dat")}).out.find("flags dup,seg,alt, collating sequence REVERSE"),
              std::string::npos);
    EXPECT_EQ(run({"create", path("x.dat"), "-r", "8", "-k", "1:8:string:alt"}).exitStatus, 1);
}

// stat says whether a file has an owner name (never the name) and marks a key Create Index added.
TEST_F(GrimstoreTest, StatShowsAnOwnerNameAndAnAddedKey) {
    create("a.dat", 12, {"1:4:unsigned"});
    {
        wbtrv::client::File file;
        ASSERT_EQ(file.open(path("a.dat")), B_NO_ERROR);
        ASSERT_EQ(file.createIndex({wbtrv::SegmentEntry{5, 2, B_KEY_EXTENDED_TYPE | B_KEY_DUPLICATES, B_TYPE_INTEGER}}),
                  B_NO_ERROR);
        ASSERT_EQ(file.setOwner("Keeper", wbtrv::client::OwnerAccess::ReadOnly), B_NO_ERROR);
    }
    const std::string text = run({"stat", path("a.dat")}).out;
    EXPECT_NE(text.find("owner name: set, access code 1 (read-only without it)\nkeys: 2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("key 1: position 5, length 2, type integer, flags dup,sup"), std::string::npos) << text;
    const auto json = nlohmann::json::parse(run({"stat", "--json", path("a.dat")}).out);
    EXPECT_EQ(json["owner"], 1);
    EXPECT_EQ(json["keys"][1][0]["flags"], nlohmann::json::parse(R"(["dup", "sup"])"));
    EXPECT_EQ(text.find("Keeper"), std::string::npos);
}

}  // namespace
}  // namespace grimstore::test
