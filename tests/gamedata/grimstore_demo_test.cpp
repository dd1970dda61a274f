// grimstore demo and the layout-aware grimstore dump over the demo files.
#include <wbtrv32/bytes.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "cli.h"
#include "gamedata/record_formatter.h"
#include "gamedata_fixture.h"

namespace gamedata::test {
namespace {

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

class GrimstoreDemoTest : public DemoFolderTest {
protected:
    CommandRun run(const std::vector<std::string>& args) const {
        std::ostringstream out, err;
        grimstore::Io io{out, err, false};
        const int status = grimstore::runGrimstore(args, io);
        return {status, out.str(), err.str()};
    }
};

TEST_F(GrimstoreDemoTest, WritesTheWorldAndRefusesToOverwriteWithoutForce) {
    const std::string folder = dir().string();
    const CommandRun first = run({"demo", folder});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("128 records"), std::string::npos) << first.out;

    const CommandRun again = run({"demo", folder});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("wccrace2.dat already exists"), std::string::npos) << again.err;
    EXPECT_NE(again.err.find("--force"), std::string::npos) << again.err;

    const CommandRun generated = run({"demo", folder, "--records", "7", "--force"});
    ASSERT_EQ(generated.status, 0) << generated.err;
    EXPECT_EQ(readAll(file(records::TableId::Items), 1032).records.size(), 7u);

    EXPECT_EQ(run({"demo", folder, "--records", "32768", "--force"}).status, 2);
    EXPECT_EQ(run({"demo", (dir() / "missing" / "deeper").string()}).status, 0);  // makes the folders
    EXPECT_TRUE(std::filesystem::exists(dir() / "missing" / "deeper" / "wccmsg2.dat"));
}

// Several files at once: stat --json writes one object per file, check reports each and
// fails when one fails, dump names each line's file; --layout decodes a renamed copy.
TEST_F(GrimstoreDemoTest, SeveralFilesAndANamedLayout) {
    ASSERT_EQ(run({"demo", dir().string()}).status, 0);
    const std::string races = (dir() / "wccrace2.dat").string();
    const std::string classes = (dir() / "wccclas2.dat").string();
    const std::string backup = (dir() / "races.bak").string();
    std::filesystem::copy_file(races, backup);

    const CommandRun stat = run({"stat", "--json", races, classes});
    ASSERT_EQ(stat.status, 0) << stat.err;
    std::istringstream statLines(stat.out);
    std::vector<RecordJson> objects;
    for (std::string line; std::getline(statLines, line);) objects.push_back(RecordJson::parse(line));
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]["file"], races);
    EXPECT_EQ(objects[0]["recordLength"], 126);
    EXPECT_EQ(objects[0]["records"], 12);
    EXPECT_EQ(objects[1]["records"], 10);
    EXPECT_EQ(objects[1]["keys"][0][0]["position"], 1);

    const CommandRun check = run({"check", races, "missing.dat", classes});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("wccclas2.dat: sound, 10 records"), std::string::npos) << check.out;
    EXPECT_NE(check.err.find("missing.dat"), std::string::npos) << check.err;

    const CommandRun both = run({"dump", races, classes});
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(RecordJson::parse(both.out.substr(0, both.out.find('\n')))["file"], races);

    EXPECT_EQ(run({"dump", backup}).out.find("\"fields\""), std::string::npos);
    const CommandRun named = run({"dump", "--layout", "race", backup});
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(RecordJson::parse(named.out.substr(0, named.out.find('\n')))["fields"]["Name"], "Fenwight");
    const CommandRun wrong = run({"dump", "--layout", "item", backup});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("item layout"), std::string::npos) << wrong.err;
}

// Each dump line's "fields" encode back to exactly its "data" bytes.
TEST_F(GrimstoreDemoTest, DumpShowsNamedFieldsThatGiveTheBytesBack) {
    ASSERT_EQ(run({"demo", dir().string()}).status, 0);
    for (const records::TableFile& spec : records::kTableFiles) {
        SCOPED_TRACE(std::string(spec.fileName));
        const CommandRun dump = run({"dump", (dir() / spec.fileName).string()});
        ASSERT_EQ(dump.status, 0) << dump.err;
        const RecordEncoder encode = recordEncoder(spec.fileName, spec.recordLength);
        std::istringstream lines(dump.out);
        std::size_t count = 0;
        std::map<std::string, std::string> typeOf;  // a field's JSON type in the first record
        for (std::string line; std::getline(lines, line); ++count) {
            const auto parsed = RecordJson::parse(line);
            for (const auto& [name, value] : parsed["fields"].items()) {
                const std::string type = value.is_number() ? "number" : value.type_name();
                EXPECT_EQ(typeOf.try_emplace(name, type).first->second, type) << name << " changes type in " << line;
            }
            ASSERT_TRUE(parsed.contains("fields")) << line;
            EXPECT_EQ(parsed["keys"][0], parsed["fields"]["Number"]);
            const EncodedRecord back = encode(parsed["fields"]);
            ASSERT_TRUE(back.error.empty()) << back.error;
            EXPECT_EQ(wbtrv::hex(back.bytes), parsed["data"].get<std::string>());
        }
        EXPECT_EQ(count, readAll(dir() / spec.fileName, spec.recordLength).records.size());
    }
}

}  // namespace
}  // namespace gamedata::test
