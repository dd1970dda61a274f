// Two editors in two processes on one record, in files and on the server: the
// one that saves second gets "Error on BUPDATE: 80", and the change saved first
// is what the file keeps.
#include "editor_session.h"

#include <sys/wait.h>
#include <unistd.h>

namespace {

using records::TableId;

class TwoEditors : public testing::TestWithParam<bool> {};  // true: on the server

TEST_P(TwoEditors, TheSecondUpdateOfARecordGets80AndTheFirstChangeIsKept) {
    const test_support::ServerSchema server;
    if (GetParam() && !server.available()) GTEST_SKIP() << "no test server (GRIM_TEST_PG)";
    EditorSession first(TableId::Races, wellFormedRow(TableId::Races), GetParam() ? &server : nullptr);
    // The second editor, in a process of its own, reads the same record and saves its change first.
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        EditorSession second(TableId::Races, {}, nullptr, true);
        second.line("txtRaceCP").setText("42");
        second.editor->update();
        _exit(second.dialogs.boxes.empty() && second.stored() != wellFormedRow(TableId::Races) ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the second editor's update failed";
    const Row kept = first.stored();
    first.line("txtRaceCP").setText("41");
    first.editor->update();
    ASSERT_EQ(first.dialogs.boxes.size(), 1u);
    EXPECT_EQ(first.dialogs.texts().back(), "Error on BUPDATE: 80");
    EXPECT_EQ(first.stored(), kept);
    EXPECT_EQ(first.line("txtRaceCP").text(), "41") << "what was typed stays";
}

INSTANTIATE_TEST_SUITE_P(Engines, TwoEditors, testing::Bool(),
                         [](const auto& info) { return info.param ? "Server" : "Files"; });

}  // namespace
