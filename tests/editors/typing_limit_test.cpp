// The typing limit of a box, and an update on a file that was not opened.
#include <QTest>

#include "editor_session.h"

namespace {

using records::TableId;

Row raceRow(std::string_view nameField) {
    Row row(126, 0);
    put16(row, 0, 5);
    putText(row, 2, nameField);
    return row;
}

TEST(TypingLimit, RestrictsTypingButNotWhatTheProgramShows) {
    Row row = raceRow(ruled("Elf", 29));
    put16(row, 70, -32768);  // CP: six characters in a box the user may type three into
    EditorSession s(TableId::Races, row);
    QLineEdit& cp = s.line("txtRaceCP");
    EXPECT_EQ(cp.text(), "-32768");

    cp.setCursorPosition(6);
    QTest::keyClicks(&cp, "9");
    EXPECT_EQ(cp.text(), "-32768") << "a longer text than the limit cannot grow";
    QTest::keyClick(&cp, Qt::Key_Backspace);
    EXPECT_EQ(cp.text(), "-3276") << "but it can be shortened";
    QTest::keyClicks(&cp, "9");
    EXPECT_EQ(cp.text(), "-3276");
    cp.selectAll();
    QTest::keyClicks(&cp, "12345");
    EXPECT_EQ(cp.text(), "123");

    s.editor->update();
    EXPECT_EQ(s.text("txtRaceCP"), "123");
}

TEST(UpdateNeedsAnOpenFile, NothingHappensOnAFileThatWasNotOpened) {
    EditorSession s(TableId::Messages, [] {
        Row row(256, 0);
        put16(row, 0, 5);
        return row;
    }());
    s.block.openFlag = 0;
    s.line("txtMessageLine1").setText("changed");
    s.editor->update();
    EXPECT_EQ(s.seam.operations().back(), store::BGetFirst);
    EXPECT_TRUE(s.status.text().isEmpty());
}

}  // namespace
