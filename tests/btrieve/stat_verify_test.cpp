// BTRVERIFY's verdicts.
#include "btrieve_fixture.h"

#include <cstring>
#include <fstream>

namespace btrieve_test {
namespace {

class Verify : public BtrieveTest {
protected:
    // A sound file of three records, closed.
    std::string soundFile() {
        Block block{};
        openStandard(block);
        for (std::uint32_t code : {1u, 2u, 3u}) {
            Call call{Standard::record(0, 1, code)};
            EXPECT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
        }
        BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
        return path("standard.dat");
    }
};

TEST_F(Verify, FindsEachKindOfFault) {
    struct Case {
        const char* sql;
        std::int16_t status;
        const char* mentions;
    };
    const Case cases[] = {
        {"", B_NO_ERROR, ""},
        {"UPDATE data_t SET key_1 = 99 WHERE id = 2", B_IO_ERROR, "key_1"},
        {"UPDATE data_t SET key_2 = 'abc' WHERE id = 1", B_IO_ERROR, "key_2"},
        {"UPDATE data_t SET data = x'0102' WHERE id = 3", B_IO_ERROR, "record 3"},
        {"DROP TABLE keys_t", B_NOT_A_DATA_FILE, "keys_t"},
        {"UPDATE metadata_t SET version = 2", B_NOT_A_DATA_FILE, "version"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        const std::string file = soundFile();
        runSql(file, c.sql);
        std::string message;
        EXPECT_EQ(verify(file, message), c.status);
        EXPECT_NE(message.find(c.mentions), std::string::npos) << message;
        std::filesystem::remove(file);
    }
}

TEST_F(Verify, MissingForeignAndDamagedFiles) {
    std::string message;
    EXPECT_EQ(verify(path("missing.dat"), message), B_FILE_NOT_FOUND);
    std::ofstream(path("text.dat")) << "not a data file at all, just some words of text that go on and on\n";
    EXPECT_EQ(verify(path("text.dat"), message), B_NOT_A_DATA_FILE);

    const std::string file = soundFile();
    runSql(file, "PRAGMA journal_mode=DELETE");  // everything in the main file
    Bytes bytes = fileBytes(file);
    ASSERT_GT(bytes.size(), 4096u);
    for (std::size_t i = 1024 + 100; i < bytes.size(); i += 7) bytes[i] ^= 0x5A;
    writeFileBytes(file, bytes);
    EXPECT_NE(verify(file, message), B_NO_ERROR);
    EXPECT_FALSE(message.empty());
}

TEST_F(Verify, MessageIsCutToTheGivenLengthAndMayBeAbsent) {
    char text[8];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(BTRVERIFY(path("missing.dat").c_str(), text, sizeof text), B_FILE_NOT_FOUND);
    EXPECT_EQ(std::strlen(text), sizeof text - 1);
    EXPECT_EQ(BTRVERIFY(path("missing.dat").c_str(), nullptr, 100), B_FILE_NOT_FOUND);
    EXPECT_EQ(BTRVERIFY(nullptr, text, sizeof text), B_INVALID_FILE_NAME);
    EXPECT_EQ(BTRVERIFY(path("missing.dat").c_str(), text, 0), B_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace btrieve_test
