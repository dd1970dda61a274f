// Coded fields shown as words and read back: other letter case keeps the code, codes
// without a word show their number and survive a save, shared words keep their code.
// A box's words are made only when first read, so a word shown before the list was
// ever opened must still be found there.
#include <QCompleter>
#include <tuple>

#include "editor_session.h"

namespace {

using records::TableId;

struct CodedCase {
    TableId id;
    const char* box;
    std::size_t offset;  // of the 16-bit code
    int stored;
    const char* shown;
    const char* typed;  // nullptr: saved untouched
    int saved;
};

Row rowWithCode(TableId id, std::size_t offset, int code) {
    Row row(records::tableFile(id).recordLength, 0);
    put16(row, 0, 5);
    putText(row, 2, ruled("Coded", 29));
    if (id == TableId::Spells) putText(row, 251, "Coded");
    put16(row, offset, code);
    return row;
}

TEST(CodedWords, ShownAndSaved) {
    for (const CodedCase& c : std::vector<CodedCase>{
             {TableId::Classes, "txtClassWeapon", 68, 2, "1H Sharp", "limited (staff)", 2},
             {TableId::Classes, "txtClassWeapon", 68, 2, "1H Sharp", "Limited (staff) ", 2},
             {TableId::Classes, "txtClassMagicType", 64, 9, "9", nullptr, 9},
             {TableId::Classes, "txtClassArmour", 70, -3, "-3", nullptr, -3},
             {TableId::Classes, "txtClassArmour", 70, -3, "-3", "Robes", 1},
             {TableId::Spells, "txtSpellTarget", 204, 14, "?14", nullptr, 14},
             {TableId::Spells, "txtSpellTarget", 204, 15, "Unknown", nullptr, 15},
             {TableId::Spells, "txtSpellTarget", 204, 200, "Unknown", nullptr, 200},
             {TableId::Spells, "txtSpellTarget", 204, 200, "Unknown", "?14", 14},
             {TableId::Spells, "txtSpellStyle", 196, 1, "1", nullptr, 1},
             {TableId::Spells, "txtSpellElement", 208, 0, "Cold", "fire", 0},
             {TableId::Spells, "txtSpellTypeA", 214, -1, "-1", nullptr, -1},
             {TableId::Races, "txtRaceabila_0", 50, 5, "Rfir", "rfir", 5},
             {TableId::Races, "txtRaceabila_1", 52, 54, "Illu", nullptr, 54},
             {TableId::Races, "txtRaceabila_2", 54, 300, "Unknown", nullptr, 300},
             {TableId::Races, "txtRaceabila_3", 56, -5, "-5", nullptr, -5},
             {TableId::Races, "txtRaceabila_4", 58, 179, "Unknown", "None", 0},
             {TableId::Races, "txtRaceabila_5", 60, 56, "racerecharge Item", "Classrecharge Item", 56},
             {TableId::Classes, "txtClassabila_9", 62, 103, "ClassStealth", nullptr, 103},
             {TableId::Classes, "txtClassabila_0", 44, 0, "None", "Classrecharge Item", 56},
             {TableId::Spells, "txtSpellabila_9", 234, 102, "SpellStealth", "MonsterStealth", 102},
         }) {
        SCOPED_TRACE(std::string(c.box) + " code " + std::to_string(c.stored));
        EditorSession s(c.id, rowWithCode(c.id, c.offset, c.stored));
        QComboBox& box = s.combo(c.box);
        EXPECT_EQ(box.currentText(), c.shown);
        // Opening the list selects the shown word, or keeps a text that is none of its words.
        const int listed = box.findText(c.shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
        box.showPopup();
        if (listed >= 0) {
            EXPECT_EQ(box.currentIndex(), listed);
        }
        EXPECT_EQ(box.currentText(), c.shown);
        box.hidePopup();
        if (c.typed) box.setEditText(c.typed);
        s.editor->update();
        EXPECT_EQ(field16(s.stored(), c.offset), c.saved);
    }
}

TEST(CodedWords, ACodeWithoutAWordNeverShowsThePreviousRecordsWord) {
    EditorSession s(TableId::Classes, rowWithCode(TableId::Classes, 68, 3));
    EXPECT_EQ(s.combo("txtClassWeapon").currentText(), "2H Sharp");
    Row next = rowWithCode(TableId::Classes, 68, 42);
    s.editor->show(next);
    EXPECT_EQ(s.combo("txtClassWeapon").currentText(), "42");
}

TEST(CodedWords, ListsHoldTheTableWordsInCodeOrderAndTypingAddsNone) {
    EditorSession s(TableId::Classes, rowWithCode(TableId::Classes, 68, 0));
    QComboBox& weapon = s.combo("txtClassWeapon");
    ASSERT_EQ(weapon.count(), 10);
    EXPECT_EQ(weapon.itemText(9), "Limited (staff)");
    EXPECT_EQ(weapon.insertPolicy(), QComboBox::NoInsert);
    QComboBox& slot = s.combo("txtClassabila_0");
    ASSERT_EQ(slot.count(), 180);
    EXPECT_EQ(slot.itemText(56), "Classrecharge Item");
    QComboBox& lastSlot = s.combo("txtClassabila_9");
    ASSERT_EQ(lastSlot.count(), 180) << "every slot offers the whole list";
    EXPECT_EQ(lastSlot.itemText(56), "Classrecharge Item");
    // Typing completes from the words, with their letter case.
    for (const auto& [box, typed, completed] : {std::tuple{&weapon, "Limited", "Limited (staff)"},
                                                {&lastSlot, "Classrech", "Classrecharge Item"},
                                                {&lastSlot, "classrech", ""}}) {
        box->completer()->setCompletionPrefix(typed);
        EXPECT_EQ(box->completer()->currentCompletion(), completed) << typed;
    }
}

}  // namespace
