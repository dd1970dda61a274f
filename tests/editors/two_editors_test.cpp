// Two editors in two processes on one record: the one that saves second gets
// "Error on BUPDATE: 80", and the first one's change is what the file keeps.
#include "editor_session.h"

#include <sys/wait.h>
#include <unistd.h>

namespace {

using records::TableId;

TEST(TwoEditors, TheSecondUpdateOfARecordGets80AndTheFirstChangeIsKept) {
    EditorSession first(TableId::Races, wellFormedRow(TableId::Races));
    int toSecond[2], toFirst[2];
    ASSERT_EQ(pipe(toSecond), 0);
    ASSERT_EQ(pipe(toFirst), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The second editor reads the record, waits until the first has saved, saves
        // its own change and tells what its message box said.
        EditorSession second(TableId::Races);
        char turn = 0;
        const bool ready = write(toFirst[1], "r", 1) == 1 && read(toSecond[0], &turn, 1) == 1;
        second.line("txtRaceCP").setText("42");
        second.editor->update();
        const QString said = second.dialogs.boxes.empty() ? QString("no message") : second.dialogs.texts().back();
        const std::string answer = (ready ? said : QString("lost the first editor")).toStdString();
        _exit(write(toFirst[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size()) ? 0 : 1);
    }
    char turn = 0;
    ASSERT_EQ(read(toFirst[0], &turn, 1), 1) << "the second editor did not start";
    first.line("txtRaceCP").setText("41");
    first.editor->update();
    const Row saved = first.stored();
    EXPECT_TRUE(first.dialogs.boxes.empty());
    ASSERT_EQ(write(toSecond[1], "s", 1), 1);

    std::string answer(200, '\0');
    answer.resize(std::max<ssize_t>(read(toFirst[0], answer.data(), answer.size()), 0));
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_EQ(answer, "Error on BUPDATE: 80");
    EXPECT_EQ(first.stored(), saved);
    EXPECT_NE(saved, wellFormedRow(TableId::Races)) << "the first editor's change was written";
    for (int fd : {toSecond[0], toSecond[1], toFirst[0], toFirst[1]}) close(fd);
}

}  // namespace
