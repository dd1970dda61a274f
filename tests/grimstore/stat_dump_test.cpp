// stat shows the file's specification; dump writes valid JSON Lines.
#include "grimstore_fixture.h"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "commands.h"

namespace grimstore::test {
namespace {

class StatDumpTest : public GrimstoreTest {
protected:
    void SetUp() override {
        create("a.dat", 9, {"1:4:autoinc", "5:2:integer:dup,mod", "7:1:unsigned:mod"});
        // id, a signed 16-bit value (-1, 300, 300), a byte, two filler bytes
        loadRecords("a.dat",
                    {Bytes{0, 0, 0, 0, 0xFF, 0xFF, 200, 'x', 0x0A}, Bytes{0, 0, 0, 0, 0x2C, 0x01, 7, 'y', 0x00},
                     Bytes{0, 0, 0, 0, 0x2C, 0x01, 8, 0xC3, 0x28}});
    }
};

TEST_F(StatDumpTest, StatShowsSpecificationAndCount) {
    const RunResult result = run({"stat", path("a.dat")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "file: " + path("a.dat") +
                              "\n"
                              "record length: 9\n"
                              "page size: 4096\n"
                              "records: 3\n"
                              "keys: 3\n"
                              "key 0: position 1, length 4, type autoinc, flags none\n"
                              "key 1: position 5, length 2, type integer, flags dup,mod\n"
                              "key 2: position 7, length 1, type unsigned, flags mod\n");
}

std::vector<nlohmann::json> parseLines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

TEST_F(StatDumpTest, DumpWritesOneJsonObjectPerRecord) {
    const RunResult result = run({"dump", path("a.dat")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    ASSERT_FALSE(result.out.empty());
    EXPECT_EQ(result.out.back(), '\n');
    std::vector<nlohmann::json> lines;
    ASSERT_NO_THROW(lines = parseLines(result.out)) << result.out;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["keys"], nlohmann::json::parse("[1, -1, 200]"));
    EXPECT_EQ(lines[0]["data"], "01000000ffffc8780a");
    EXPECT_EQ(lines[1]["keys"], nlohmann::json::parse("[2, 300, 7]"));
    EXPECT_EQ(lines[2]["data"], "030000002c0108c328");
    EXPECT_FALSE(lines[0].contains("fields"));
}

// Keys of several segments and other types: each value in its type's own form.
TEST_F(StatDumpTest, DumpShowsEachKeyInItsTypesForm) {
    create("t.dat", 36,
           {"1:4:autoinc", "5:10:string:nocase,dup+15:4:date:desc,dup", "19:2:money:null", "21:3:numeric:dup",
            "24:4:time:dup", "28:4:float:dup", "32:5:lstring:dup"});
    Bytes record{0,    0,    0,   0,   'A', 'l', 'i', 'c', 'e', 0, 0, 0,    0,    0, 7,   3,   0xE8, 0x07,
                 0x12, 0x3D, '1', '2', 'J', 5,   4,   3,   2,   0, 0, 0xC0, 0xBF, 3, 'a', 'b', 'c',  'd'};
    loadRecords("t.dat", {record});
    const RunResult result = run({"dump", path("t.dat")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(parseLines(result.out).at(0)["keys"],
              nlohmann::json::parse(R"([1, ["Alice", "2024-03-07"], "-1.23", "-121", "02:03:04.05", -1.5, "abc"])"));
    const RunResult stat = run({"stat", path("t.dat")});
    EXPECT_NE(stat.out.find("key 1 segment 1: position 15, length 4, type date, flags dup,desc"), std::string::npos);
}

// A key sorted through a collating sequence given as a file: stat names it.
TEST_F(StatDumpTest, CreateTakesACollatingSequenceFromAFile) {
    std::string sequence =
        "\xAC"
        "REVERSE ";
    for (int b = 0; b < 256; ++b) sequence += static_cast<char>(255 - b);
    std::ofstream(path("reverse.alt"), std::ios::binary) << sequence;
    const RunResult made =
        run({"create", path("s.dat"), "-r", "8", "-k", "1:8:string:alt", "--collating-sequence", path("reverse.alt")});
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    EXPECT_NE(run({"stat", path("s.dat")}).out.find("flags alt, collating sequence REVERSE"), std::string::npos);
    EXPECT_EQ(run({"create", path("x.dat"), "-r", "8", "-k", "1:8:string:alt"}).exitStatus, 1);
}

TEST_F(StatDumpTest, DumpAddsFieldsFromLayoutFormatter) {
    std::ostringstream out;
    std::ostringstream err;
    Io io{out, err, false};
    std::vector<std::pair<std::string, uint32_t>> asked;
    const FormatterLookup lookup = [&asked](std::string_view name, uint32_t length) {
        asked.emplace_back(name, length);
        return [](std::span<const uint8_t> record) {
            // A text field holding a byte that is not UTF-8 must not break the line.
            return nlohmann::ordered_json{{"name", std::string(record.begin() + 7, record.end())}};
        };
    };
    ASSERT_EQ(runDump(path("a.dat"), io, {.lookup = lookup, .layout = {}, .nameFile = false}), 0) << err.str();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(std::string("a.dat"), 9u));
    const auto lines = parseLines(out.str());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["fields"]["name"], "x\n");
    EXPECT_TRUE(lines[2]["fields"]["name"].is_string());
}

}  // namespace
}  // namespace grimstore::test
