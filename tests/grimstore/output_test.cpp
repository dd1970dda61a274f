// Every output of grimstore follows one rule: what is not a regular file (a
// FIFO, a device) is written into and stays what it was; a symbolic link is
// followed and the file it names replaced; a file is replaced only by a whole
// output, keeping its permissions; a data file never goes into a FIFO or a device.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>

#include "grimstore_fixture.h"

namespace grimstore::test {
namespace {

namespace fs = std::filesystem;

// Files a save left beside its output: none should be.
std::size_t leftovers(const fs::path& folder) {
    return std::ranges::count_if(fs::directory_iterator(folder), [](const auto& entry) {
        return entry.path().string().find(".part") != std::string::npos;
    });
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
    fs::create_directory(path("made"));
    fs::create_symlink("made/new.seq", path("dangling.seq"));
    // The name on the command line, and the file that holds the output afterwards.
    for (const auto& [out, written] : {std::pair{"new.seq", "new.seq"},
                                       {"old.seq", "old.seq"},
                                       {"link.seq", "old.seq"},
                                       {"dangling.seq", "made/new.seq"}}) {
        SCOPED_TRACE(out);
        writeFile(path("old.seq"), {'o', 'l', 'd'});
        const RunResult result = save(path(out));
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(readFile(path(written)), expected);
    }
    EXPECT_TRUE(fs::is_symlink(path("link.seq")) && fs::is_symlink(path("dangling.seq")));
    EXPECT_EQ(fs::status(path("old.seq")).permissions(), fs::perms(0640)) << "the replaced file's permissions";

    // A save that fails halfway leaves the file it was to replace as it was.
    execSql("a.dat", "UPDATE data_t SET data = x'0102' WHERE id = 2");
    writeFile(path("old.seq"), {'o', 'l', 'd'});
    const RunResult failed = save(path("link.seq"));
    EXPECT_NE(failed.err.find("reading record 2"), std::string::npos) << failed.err;
    EXPECT_EQ(readFile(path("old.seq")), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(leftovers(folder()), 0u);
}

TEST_F(OutputTest, SaveWritesIntoAFifoAndDevicesAndLeavesThemAsTheyWere) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    // The test's end, opened first, lets the save's end open at once; the output fits the FIFO's buffer.
    const int fifo = ::open(path("pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fifo, 0);
    const RunResult piped = save(path("pipe"));
    EXPECT_EQ(piped.exitStatus, 0) << piped.err;
    Bytes received(256);
    received.resize(static_cast<std::size_t>(std::max<ssize_t>(::read(fifo, received.data(), received.size()), 0)));
    ::close(fifo);
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(fs::is_fifo(path("pipe")));

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
    EXPECT_EQ(leftovers(folder()), 0u);
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
}

}  // namespace
}  // namespace grimstore::test
