// Every output of grimstore follows one rule: what is not a regular file (a
// FIFO, a device) is written into and stays what it was; a symbolic link is
// followed and the file it names replaced; a file is replaced only by a whole
// output, keeping its permissions; a data file never goes into a FIFO or a device.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <iterator>

#include "grimstore_fixture.h"

namespace grimstore::test {
namespace {

namespace fs = std::filesystem;

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What is left in the folder besides the files a test made: no partial output.
std::vector<std::string> leftovers(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".part") != std::string::npos)
            names.push_back(entry.path().filename().string());
    return names;
}

class OutputTest : public GrimstoreTest {
protected:
    void SetUp() override {
        create("a.dat", 8, {"1:4:unsigned"});
        loadRecords("a.dat", {record(1, 8, {'x'}), record(2, 8, {'y'})});
        expected = sequentialFile({record(1, 8, {'x'}), record(2, 8, {'y'})});
    }
    RunResult save(const std::string& out) const { return run({"save", path("a.dat"), out}); }
    Bytes expected;
};

TEST_F(OutputTest, SaveReplacesFilesWholeAndFollowsLinks) {
    writeFile(path("old.seq"), {'o', 'l', 'd'});
    ASSERT_EQ(::chmod(path("old.seq").c_str(), 0640), 0);
    fs::create_symlink("old.seq", path("link.seq"));
    fs::create_symlink("made/by/link.seq", path("dangling.seq"));
    fs::create_directories(path("made/by"));
    struct Case {
        const char* out;        // as named on the command line
        const char* written;    // the file that holds the output afterwards
        const char* stillLink;  // a link that must still be one, or nullptr
    };
    for (const Case& c :
         {Case{"new.seq", "new.seq", nullptr}, Case{"old.seq", "old.seq", nullptr},
          Case{"link.seq", "old.seq", "link.seq"}, Case{"dangling.seq", "made/by/link.seq", "dangling.seq"}}) {
        SCOPED_TRACE(c.out);
        writeFile(path("old.seq"), {'o', 'l', 'd'});
        const RunResult result = save(path(c.out));
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(fileBytes(path(c.written)), expected);
        EXPECT_TRUE(!c.stillLink || fs::is_symlink(path(c.stillLink)));
    }
    EXPECT_EQ(fs::status(path("old.seq")).permissions(), fs::perms(0640)) << "the replaced file's permissions";
    EXPECT_EQ(leftovers(folder()), std::vector<std::string>{});

    // A save that fails halfway leaves the file it was to replace as it was.
    execSql("a.dat", "UPDATE data_t SET data = x'0102' WHERE id = 2");
    writeFile(path("old.seq"), {'o', 'l', 'd'});
    const RunResult failed = save(path("link.seq"));
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_NE(failed.err.find("reading record 2"), std::string::npos) << failed.err;
    EXPECT_EQ(fileBytes(path("old.seq")), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(leftovers(folder()), std::vector<std::string>{});

    fs::create_symlink("loop.seq", path("loop.seq"));
    EXPECT_NE(save(path("loop.seq")).err.find("too many symbolic links"), std::string::npos);
}

TEST_F(OutputTest, SaveWritesIntoAFifoAndDevicesAndLeavesThemAsTheyWere) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    auto reader = std::async(std::launch::async, [&] { return fileBytes(path("pipe")); });
    const RunResult piped = save(path("pipe"));
    // Should the save not have opened the FIFO, the reader is let go rather than left waiting.
    if (piped.exitStatus != 0) ::close(::open(path("pipe").c_str(), O_WRONLY | O_NONBLOCK));
    EXPECT_EQ(piped.exitStatus, 0) << piped.err;
    EXPECT_EQ(reader.get(), expected);
    EXPECT_TRUE(fs::is_fifo(path("pipe")));

    const RunResult out = save("-");
    EXPECT_EQ(Bytes(out.out.begin(), out.out.end()), expected);

    if (::geteuid() != 0) GTEST_SKIP() << "making devices needs root";
    // The numbers of /dev/null and /dev/full, made in the test's folder.
    ASSERT_EQ(::mknod(path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ASSERT_EQ(::mknod(path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    fs::create_symlink("null", path("to-null"));
    for (const char* device : {"null", "to-null"}) EXPECT_EQ(save(path(device)).exitStatus, 0) << device;
    const RunResult full = save(path("full"));
    EXPECT_EQ(full.exitStatus, 1);
    EXPECT_NE(full.err.find("full: write failed: No space left on device"), std::string::npos) << full.err;
    for (const char* device : {"null", "full"}) EXPECT_TRUE(fs::is_character_file(path(device))) << device;
    EXPECT_EQ(leftovers(folder()), std::vector<std::string>{});
}

TEST_F(OutputTest, DataFilesAreMadeWhereLinksPointAndNeverInAFifo) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    fs::create_symlink("target.dat", path("link.dat"));
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"create", path("pipe"), "-r", "8", "-k", "1:4:unsigned", "--replace"},
                                               {"copy", path("a.dat"), path("pipe"), "--replace"}}) {
        SCOPED_TRACE(args.front());
        const RunResult refused = run(args);
        EXPECT_EQ(refused.exitStatus, 1);
        EXPECT_NE(refused.err.find("pipe is not a regular file"), std::string::npos) << refused.err;
        EXPECT_TRUE(fs::is_fifo(path("pipe")));
    }
    const RunResult copied = run({"copy", path("a.dat"), path("link.dat")});
    EXPECT_EQ(copied.exitStatus, 0) << copied.err;
    EXPECT_TRUE(fs::is_symlink(path("link.dat")));
    EXPECT_EQ(saved("target.dat"), expected);
    const RunResult made = run({"create", path("link.dat"), "-r", "8", "-k", "1:4:unsigned", "--replace"});
    EXPECT_EQ(made.exitStatus, 0) << made.err;
    EXPECT_TRUE(fs::is_symlink(path("link.dat")));
    EXPECT_EQ(saved("target.dat"), sequentialFile({}));
}

}  // namespace
}  // namespace grimstore::test
