// Two editors of one world on the server, in two processes: the Update that
// comes second, on a record the other changed since it was read, is refused
// with "Error on BUPDATE: 80", and the first one's change is kept.
#include "editor_session.h"

#include "records/race_record.h"
#include "test_support/server_schema.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstddef>

namespace {

using records::TableId;

// In a process of its own, as another editor would: reads the first record
// of the table's file and saves it changed at `at`; exits with the status.
pid_t changeElsewhere(const records::TableFile& table, std::size_t at) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    std::array<std::uint8_t, BTR_POSITION_BLOCK_SIZE> block{};
    std::string name(table.fileName);
    Row row(table.recordLength);
    std::vector<std::uint8_t> key(BTR_MAX_KEY_LENGTH);
    std::uint32_t length = 0;
    std::int16_t status = BTRCALL(B_OPEN, block.data(), nullptr, &length, name.data(),
                                  static_cast<std::uint8_t>(name.size() + 1), B_MODE_NORMAL);
    length = table.recordLength;
    if (status == B_NO_ERROR)
        status = BTRCALL(B_GET_FIRST, block.data(), row.data(), &length, key.data(), BTR_MAX_KEY_LENGTH, 0);
    row[at] ^= 0x5A;
    if (status == B_NO_ERROR)
        status = BTRCALL(B_UPDATE, block.data(), row.data(), &length, key.data(), BTR_MAX_KEY_LENGTH, 0);
    _exit(status);
}

TEST(RefusedUpdate, TheSecondOfTwoEditorsOnTheServerGets80) {
    if (!test_support::ServerSchema::available()) GTEST_SKIP() << "GRIM_TEST_PG is not set: no server to test on";
    test_support::ServerSchema schema;
    const Row row = wellFormedRow(TableId::Races);
    EditorSession s(TableId::Races, row);
    constexpr std::size_t kCP = offsetof(records::RaceRecord, CP);
    const pid_t other = changeElsewhere(s.table, kCP);
    int exit = -1;
    ASSERT_EQ(waitpid(other, &exit, 0), other);
    ASSERT_TRUE(WIFEXITED(exit));
    ASSERT_EQ(WEXITSTATUS(exit), B_NO_ERROR);
    Row theirs = row;
    theirs[kCP] ^= 0x5A;

    s.line("txtRaceCP").setText("47");
    s.editor->update();
    EXPECT_EQ(s.dialogs.texts().back(), "Error on BUPDATE: 80");
    EXPECT_EQ(s.stored(), theirs);
    std::string files;
    ASSERT_TRUE(schema.sql("SELECT string_agg(name, ',') FROM wbtrv_files", &files));
    EXPECT_EQ(files, s.table.fileName) << "the file lives on the server";
}

}  // namespace
