// save and load carry every byte value unchanged, including the ones that
// look like the sequential file's own separators.
#include "grimstore_fixture.h"

namespace grimstore::test {
namespace {

// Ids and fillers full of NUL, CR, LF, comma and Ctrl-Z; ascending ids so the
// file's key order is the input order.
std::vector<Bytes> awkwardRecords() {
    return {
        record(0x00000001, 12, {0x00}),
        record(0x00000A0D, 12, {0x0D, 0x0A}),
        record(0x00001A2C, 12, {0x1A}),
        record(0x000D0A1A, 12, {0x2C, 0x0D, 0x0A, 0x1A, 0x00}),
        record(0x1A2C0D0A, 12, {0x0A, 0x0D, 0x2C}),
    };
}

TEST_F(GrimstoreTest, SaveAndLoadRoundTripCarriesSeparatorBytes) {
    create("a.dat", 12, {"1:4:unsigned"});
    const Bytes input = sequentialFile(awkwardRecords());
    writeFile(path("in.seq"), input);
    RunResult result = run({"load", path("a.dat"), path("in.seq")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("loaded 5 records"), std::string::npos) << result.out;

    EXPECT_EQ(saved("a.dat"), input);

    // A second file filled from the first one's save holds the same records.
    create("b.dat", 12, {"1:4:unsigned"});
    result = run({"load", path("b.dat"), path("a.dat.saved")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(saved("b.dat"), input);
}

}  // namespace
}  // namespace grimstore::test
