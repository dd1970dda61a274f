// grimstore demo and the layout-aware grimstore dump over the demo files.
#include <wbtrv32/bytes.h>

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
    EXPECT_EQ(run({"demo", (dir() / "missing").string()}).status, 1);
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
        for (std::string line; std::getline(lines, line); ++count) {
            const auto parsed = RecordJson::parse(line);
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
