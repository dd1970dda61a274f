// Each box shows its field and saves back into it: what a box shows for stored bytes,
// and that typing into it and saving changes exactly the bytes of its field (and of
// a field the change moves with it), nothing else: every byte no box shows, the bytes
// after the packed length and untouched fields are written back as they were read. Shifted class numbers round half
// to even; coded boxes keep an untouched code and read words in their exact case.
#include <QCompleter>
#include <optional>
#include <tuple>

#include "editor_session.h"

namespace {

using records::TableId;

using Put = std::pair<std::size_t, std::string>;  // bytes at an offset

struct BoxCase {
    TableId id;
    QString box;
    std::optional<QString> typed;  // none: saved untouched; check boxes: "0" unticked, "2" ticked
    std::vector<Put> saved;        // the only bytes that change
    std::vector<Put> stored = {};  // put into the record before it is shown
    QString shown = {};            // when set: what the box shows (check boxes: their state)
};

// Texts stay within each box's typing limit, as a user types them.
void type(EditorSession& s, const QString& box, const QString& text) {
    if (auto* combo = s.page.findChild<QComboBox*>(box)) return combo->setEditText(text);
    if (auto* check = s.page.findChild<QCheckBox*>(box)) return check->setCheckState(Qt::CheckState(text.toInt()));
    s.line(box).setText(text);
}

void expectSaved(const std::vector<BoxCase>& cases) {
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.box.toStdString() + " <- " + c.typed.value_or("(untouched)").toStdString());
        Row row = wellFormedRow(c.id);
        for (const auto& [offset, bytes] : c.stored) putText(row, offset, bytes);
        Row expected = row;
        for (const auto& [offset, bytes] : c.saved) putText(expected, offset, bytes);

        EditorSession s(c.id, row);
        if (!c.shown.isNull()) {
            EXPECT_EQ(s.shown(c.box), c.shown);
        }
        // A word box makes its words when first opened: opening it selects the shown
        // word, or keeps a text that is none of its words.
        if (auto* combo = s.page.findChild<QComboBox*>(c.box)) {
            const QString shown = combo->currentText();
            combo->showPopup();
            const int listed = combo->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
            EXPECT_TRUE(listed < 0 || combo->currentIndex() == listed) << combo->currentIndex();
            EXPECT_EQ(combo->currentText(), shown);
            combo->hidePopup();
        }
        if (c.typed) type(s, c.box, *c.typed);
        s.editor->update();
        EXPECT_TRUE(s.dialogs.boxes.empty());
        EXPECT_TRUE(s.status.text().contains(QStringLiteral(" Updated!"))) << s.status.text().toStdString();
        EXPECT_EQ(s.stored(), expected);
        EXPECT_EQ(s.block.row, expected) << "the row buffer holds the record as written";
    }
}

// Slot k of both columns: the name box picks name, the value box gets value.
void addSlots(std::vector<BoxCase>& cases, TableId id, const QString& kind, std::size_t codeAt, std::size_t valueAt,
              const QString& name, int code, const QString& value, int stored) {
    for (int k = 0; k < 10; ++k) {
        const QString index = QString::number(k);
        cases.push_back({id, "txt" + kind + "abila_" + index, name, {{codeAt + 2 * k, le16(code)}}});
        cases.push_back({id, "txt" + kind + "abilb_" + index, value, {{valueAt + 2 * k, le16(stored)}}});
    }
}

TEST(BoxSave, RaceBoxes) {
    const auto R = TableId::Races;
    std::vector<BoxCase> cases{
        {R, "txtRaceName", "Bob", {{2, ruled("Bob", 29)}}},
        {R, "txtRaceName", QString(28, 'n'), {{2, ruled(std::string(28, 'n'), 29)}}},
        // No room for the zero: the stored name stays; a name without a zero shows whole.
        {R, "txtRaceName", QString(29, 'n'), {}},
        {R, "txtRaceName", std::nullopt, {}, {{2, "Full width name  with blanks "}}, "Full width name  with blanks "},
        // A name whose zero is followed by other bytes is rewritten by the name rule.
        {R, "txtRaceName", std::nullopt, {{2, ruled("Orc", 29)}}, {{2, std::string("Orc\0xyz", 7)}}, "Orc"},
        {R, "txtRaceCP", " +007", {{70, le16(7)}}},
        {R, "txtRaceabila_0", "rfir", {}, {{50, le16(5)}}, "Rfir"},
        {R, "txtRaceabila_2", std::nullopt, {}, {{54, le16(300)}}, "Unknown"},
        {R, "txtRaceabila_4", "None", {{58, le16(0)}}, {{58, le16(179)}}, "Unknown"},
        {R, "txtRaceabila_5", "Classrecharge Item", {}, {{60, le16(56)}}, "racerecharge Item"},
    };
    const std::pair<const char*, std::size_t> numbers[] = {
        {"MinIntellect", 32},  {"MinWillpower", 34}, {"MinStrength", 36}, {"MinHealth", 38},   {"MinAgility", 40},
        {"MinCharm", 42},      {"HPBonus", 44},      {"CP", 70},          {"ExpChart", 98},    {"MaxIntellect", 102},
        {"MaxWillpower", 104}, {"MaxStrength", 106}, {"MaxHealth", 108},  {"MaxAgility", 110}, {"MaxCharm", 112}};
    for (const auto& [field, offset] : numbers)
        cases.push_back({R, QString("txtRace") + field, "-32", {{offset, le16(-32)}}});
    addSlots(cases, R, "Race", 50, 72, "Rfir", 5, "-12", -12);
    expectSaved(cases);
}

TEST(BoxSave, ClassBoxes) {
    const auto C = TableId::Classes;
    const std::vector<Put> shifted{{36, le16(0)}, {72, le16(3)}};  // Exp 0 shows 100, Combat 3 shows 1
    std::vector<BoxCase> cases{
        {C, "txtClassName", "Bard of Ash", {{2, ruled("Bard of Ash", 29)}}},
        {C, "txtClassMinHP", "8", {{32, le16(8)}, {34, le16(7)}}, {}, "5"},  // the maximum stays what its box shows
        {C, "txtClassMaxHp", "40", {{34, le16(35)}}, {}, "15"},
        {C, "txtClassMaxHp", "7.5", {{34, le16(2)}}},  // 2.5 goes to 2
        {C, "txtClassMaxHp", "16 ", {{34, le16(11)}}},
        {C, "txtClassExp", "150", {{36, le16(50)}}, shifted, "100"},
        {C, "txtClassExp", "0.5", {{36, le16(-100)}}, shifted},       // -99.5 goes to the even -100
        {C, "txtClassExp", "1.5", {{36, le16(-98)}}, shifted},        // -98.5 goes to the even -98
        {C, "txtClassCombat", "1.5", {{72, le16(4)}}, shifted, "1"},  // 3.5 goes to 4
        {C, "txtClassCombat", "0.5", {{72, le16(2)}}, shifted},       // 2.5 goes to 2
        {C, "txtClassMagicType", "Kai", {{64, le16(5)}}},
        {C, "txtClassMagicType", std::nullopt, {}, {{64, le16(9)}}, "9"},
        {C, "txtClassMagicLvl", "9", {{66, le16(9)}}},
        {C, "txtClassWeapon", "Limited (staff)", {{68, le16(9)}}},
        {C, "txtClassWeapon", "limited (staff)", {}, {{68, le16(2)}}, "1H Sharp"},
        {C, "txtClassArmour", "Platemail", {{70, le16(9)}}},
        {C, "txtClassArmour", "Robes", {{70, le16(1)}}, {{70, le16(-3)}}, "-3"},
        {C, "txtClassTitle", "1234", {{100, le16(1234)}}},
        {C, "txtClassabila_9", std::nullopt, {}, {{62, le16(103)}}, "ClassStealth"},
        // Wide sums are shown whole and saved back unchanged.
        {C, "txtClassMaxHp", std::nullopt, {}, {{32, le16(32000)}, {34, le16(32000)}}, "64000"},
        {C, "txtClassExp", std::nullopt, {}, {{36, le16(32767)}}, "32867"},
        {C, "txtClassCombat", std::nullopt, {}, {{72, le16(-32768)}}, "-32770"},
    };
    addSlots(cases, C, "Class", 44, 74, "Classrecharge Item", 56, "77", 77);
    expectSaved(cases);
}

TEST(BoxSave, SpellAndMessageBoxes) {
    const auto S = TableId::Spells, M = TableId::Messages;
    std::vector<BoxCase> cases{
        {S, "txtSpellName", "Fireball", {{2, ruled("Fireball", 29)}}},
        {S, "txtSpellDescA", "Burns", {{32, ruled("Burns", 50)}}},
        {S, "txtSpellDescB", "a lot", {{83, ruled("a lot", 50)}}},
        {S, "txtSpellLevelCap", "200", {{162, "\xC8"}}},
        {S, "txtSpellEnergy", "-500", {{188, le16(-500)}}},
        {S, "txtSpellLevel", "12", {{190, le16(12)}}},
        {S, "txtSpellMin", "3", {{192, le16(3)}}},
        {S, "txtSpellMax", "32767", {{194, le16(32767)}}},
        {S, "txtSpellStyle", "Between Round", {{196, le16(3)}}},
        {S, "txtSpellDifficulty", "-9999", {{200, le16(-9999)}}},
        {S, "txtSpellTarget", "Item", {{204, le16(7)}}},
        {S, "txtSpellTarget", std::nullopt, {}, {{204, le16(200)}}, "Unknown"},
        {S, "txtSpellTarget", "?14", {{204, le16(14)}}, {{204, le16(200)}}},
        {S, "txtSpellLength", "60", {{206, le16(60)}}},
        {S, "txtSpellElement", "Poison", {{208, le16(6)}}},
        {S, "txtSpellElement", "fire", {}, {{208, le16(0)}}, "Cold"},
        {S, "txtSpellTypeA", "Kai", {{214, le16(5)}}},
        {S, "txtSpellCastMsg", "321", {{236, le16(321)}}},
        {S, "txtSpellMana", "2.5", {{240, le16(2)}}},  // read as a number: the half goes to the even neighbour
        {S, "txtSpellLevelMod", "255", {{242, "\xFF"}}},
        {S, "txtSpellIncrease", "0", {{243, std::string(1, '\0')}}},
        {S, "txtSpellTypeB", "7", {{244, le16(7)}}},
        {S, "CheckSpellMaxRoll", "2", {{246, "\x01"}}, {}, "0"},
        {S, "CheckSpellMaxRoll", std::nullopt, {}, {{246, "\x02"}}, "1"},  // a third value shows half ticked
        {S, "CheckSpellMaxRoll", "2", {{246, "\x01"}}, {{246, "\xFF"}}},
        {S, "CheckSpellMaxRoll", "0", {{246, std::string(1, '\0')}}, {{246, "\x01"}}, "2"},
        {S, "txtSpellShortName", "Fb", {{251, "Fb   "}}},
        {S, "txtSpellabila_9", "MonsterStealth", {}, {{234, le16(102)}}, "SpellStealth"},
        {M, "txtMessageLine1", "You hear a bell.", {{4, ruled("You hear a bell.", 74)}}},
        {M, "txtMessageLine2", "", {{86, ruled("", 74)}}},
        {M, "txtMessageLine2", std::nullopt, {}, {{86, std::string(73, 'x') + " "}}, QString(73, 'x') + " "},
        {M, "txtMessageLine3", QString(73, 'x'), {{168, ruled(std::string(73, 'x'), 74)}}},
    };
    addSlots(cases, S, "Spell", 216, 168, "SpellStealth", 102, "3.5", 4);
    expectSaved(cases);
}

// Typing into a word box completes from its words, in their letter case; a code
// without a word never shows the previous record's word.
TEST(BoxSave, WordBoxesCompleteAndShowNumbersOfCodesWithoutAWord) {
    Row row = wellFormedRow(TableId::Classes);
    put16(row, 68, 3);
    EditorSession s(TableId::Classes, row);
    for (const auto& [box, typed, completed] : {std::tuple{"txtClassWeapon", "Limited", "Limited (staff)"},
                                                {"txtClassabila_9", "Classrech", "Classrecharge Item"},
                                                {"txtClassabila_9", "classrech", ""}}) {
        QCompleter* completer = s.combo(box).completer();
        completer->setCompletionPrefix(typed);
        EXPECT_EQ(completer->currentCompletion(), completed) << typed;
    }
    EXPECT_EQ(s.combo("txtClassWeapon").currentText(), "2H Sharp");
    put16(row, 68, 42);
    s.editor->show(row);
    EXPECT_EQ(s.combo("txtClassWeapon").currentText(), "42");
}

}  // namespace
