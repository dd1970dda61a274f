// The name rule, whole numbers as typed, and the status line after a save.
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

std::string nameOf(const Row& row) { return std::string(row.begin() + 2, row.begin() + 31); }

TEST(NameRule, ByLengthOfTheTypedName) {
    const std::string old = ruled("Old Name", 29);
    struct Case {
        QString typed;
        std::string stored;
        QString shownAfter;
    };
    for (const Case& c : std::vector<Case>{{"abc", ruled("abc", 29), "abc"},
                                           {QString(28, 'n'), ruled(std::string(28, 'n'), 29), QString(28, 'n')},
                                           // no room for the zero: the stored name stays
                                           {QString(29, 'n'), old, "Old Name"}}) {
        SCOPED_TRACE(c.typed.size());
        EditorSession s(TableId::Races, raceRow(old));
        s.line("txtRaceName").setText(c.typed);
        s.editor->update();
        EXPECT_EQ(nameOf(s.stored()), c.stored);
        EXPECT_EQ(s.text("txtRaceName"), c.shownAfter);
        EXPECT_EQ(s.status.text(), "Race 5 Updated! " + c.shownAfter);
    }
}

TEST(WholeNumbers, TypedFormsThatAreAccepted) {
    struct Case {
        const char* typed;
        int stored;
        const char* shownAfter;
    };
    for (const Case& c : std::vector<Case>{{"007", 7, "7"}, {" +7", 7, "7"}, {"-0", 0, "0"}, {"-99", -99, "-99"}}) {
        SCOPED_TRACE(c.typed);
        EditorSession s(TableId::Races, raceRow(ruled("Elf", 29)));
        s.line("txtRaceCP").setText(c.typed);
        s.editor->update();
        const Row saved = s.stored();
        EXPECT_EQ(std::string(saved.begin() + 70, saved.begin() + 72), le16(c.stored));
        EXPECT_EQ(s.text("txtRaceCP"), c.shownAfter);
    }
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
    EXPECT_EQ(s.seam.operations().back(), B_GET_FIRST);
    EXPECT_TRUE(s.status.text().isEmpty());
}

}  // namespace
