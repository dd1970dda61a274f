// Changing one box and saving changes exactly the bytes of that box's field.
#include "editor_session.h"

namespace {

using records::TableId;

struct Change {
    QString box;
    QString text;  // for the check box: ticked
    std::size_t offset;
    std::string bytes;
    std::size_t alsoOffset = 0;  // a second field the change moves, if any
    std::string alsoBytes = {};
};

// A record with noise everywhere except where the editor needs well-formed text, with
// MinHP 5 and HPRange 10 for classes and MaxRoll 0 for spells.
Row baseRow(TableId id) {
    Row row = noiseRow(records::tableFile(id), 11);
    put16(row, 0, 5);
    switch (id) {
        case TableId::Messages:
            for (std::size_t at : {4u, 86u, 168u}) putText(row, at, ruled("line", 74));
            break;
        case TableId::Classes:
            put16(row, 32, 5);
            put16(row, 34, 10);
            [[fallthrough]];
        default:
            putText(row, 2, ruled("Grey Elf", 29));
    }
    if (id == TableId::Spells) {
        putText(row, 251, "Zap!z");
        row[246] = 0;
    }
    return row;
}

// Texts stay within each box's typing limit, as a user types them.
void setBox(EditorSession& s, const Change& c) {
    if (auto* combo = s.page.findChild<QComboBox*>(c.box)) return combo->setEditText(c.text);
    if (auto* check = s.page.findChild<QCheckBox*>(c.box)) return check->setChecked(true);
    s.line(c.box).setText(c.text);
}

void expectOnlyTheseBytesChange(TableId id, const std::vector<Change>& changes) {
    for (const Change& c : changes) {
        SCOPED_TRACE(c.box.toStdString() + " <- " + c.text.toStdString());
        const Row row = baseRow(id);
        Row expected = row;
        putText(expected, c.offset, c.bytes);
        if (!c.alsoBytes.empty()) putText(expected, c.alsoOffset, c.alsoBytes);
        ASSERT_NE(expected, row) << "the change must be a real one";

        EditorSession s(id, row);
        setBox(s, c);
        s.editor->update();
        EXPECT_TRUE(s.dialogs.boxes.empty());
        const Row saved = s.stored();
        EXPECT_EQ(differences(saved, expected), std::vector<std::size_t>{});
    }
}

// Slot k of both columns: the name box picks name, the value box gets value.
void addSlots(std::vector<Change>& changes, const QString& kind, std::size_t codeAt, std::size_t valueAt,
              const QString& name, int code, const QString& value, int stored) {
    for (int k = 0; k < 10; ++k) {
        const QString index = QString::number(k);
        changes.push_back({"txt" + kind + "abila_" + index, name, codeAt + 2 * k, le16(code)});
        changes.push_back({"txt" + kind + "abilb_" + index, value, valueAt + 2 * k, le16(stored)});
    }
}

TEST(BoxChange, RaceBoxes) {
    std::vector<Change> changes{{"txtRaceName", "Bob", 2, ruled("Bob", 29)}};
    const std::vector<std::pair<const char*, std::size_t>> numbers{
        {"MinIntellect", 32},  {"MinWillpower", 34}, {"MinStrength", 36}, {"MinHealth", 38},   {"MinAgility", 40},
        {"MinCharm", 42},      {"HPBonus", 44},      {"CP", 70},          {"ExpChart", 98},    {"MaxIntellect", 102},
        {"MaxWillpower", 104}, {"MaxStrength", 106}, {"MaxHealth", 108},  {"MaxAgility", 110}, {"MaxCharm", 112}};
    for (const auto& [field, offset] : numbers)
        changes.push_back({QString("txtRace") + field, "-32", offset, le16(-32)});
    addSlots(changes, "Race", 50, 72, "Rfir", 5, "-12", -12);
    expectOnlyTheseBytesChange(TableId::Races, changes);
}

TEST(BoxChange, ClassBoxes) {
    std::vector<Change> changes{
        {"txtClassName", "Bard of Ash", 2, ruled("Bard of Ash", 29)},
        {"txtClassMinHP", "8", 32, le16(8), 34, le16(7)},  // the maximum stays what its box shows
        {"txtClassMaxHp", "40", 34, le16(35)},
        {"txtClassExp", "150", 36, le16(50)},
        {"txtClassMagicType", "Kai", 64, le16(5)},
        {"txtClassMagicLvl", "9", 66, le16(9)},
        {"txtClassWeapon", "Limited (staff)", 68, le16(9)},
        {"txtClassArmour", "Platemail", 70, le16(9)},
        {"txtClassCombat", "1", 72, le16(3)},
        {"txtClassTitle", "1234", 100, le16(1234)},
    };
    addSlots(changes, "Class", 44, 74, "Classrecharge Item", 56, "77", 77);
    expectOnlyTheseBytesChange(TableId::Classes, changes);
}

TEST(BoxChange, SpellBoxes) {
    std::vector<Change> changes{
        {"txtSpellName", "Fireball", 2, ruled("Fireball", 29)},
        {"txtSpellDescA", "Burns", 32, ruled("Burns", 50)},
        {"txtSpellDescB", "a lot", 83, ruled("a lot", 50)},
        {"txtSpellLevelCap", "200", 162, "\xC8"},
        {"txtSpellEnergy", "-500", 188, le16(-500)},
        {"txtSpellLevel", "12", 190, le16(12)},
        {"txtSpellMin", "3", 192, le16(3)},
        {"txtSpellMax", "32767", 194, le16(32767)},
        {"txtSpellStyle", "Between Round", 196, le16(3)},
        {"txtSpellDifficulty", "-9999", 200, le16(-9999)},
        {"txtSpellTarget", "Item", 204, le16(7)},
        {"txtSpellLength", "60", 206, le16(60)},
        {"txtSpellElement", "Poison", 208, le16(6)},
        {"txtSpellTypeA", "Kai", 214, le16(5)},
        {"txtSpellCastMsg", "321", 236, le16(321)},
        {"txtSpellMana", "2.5", 240, le16(2)},  // read as a number: the half goes to the even neighbour
        {"txtSpellLevelMod", "255", 242, "\xFF"},
        {"txtSpellIncrease", "0", 243, std::string(1, '\0')},
        {"txtSpellTypeB", "7", 244, le16(7)},
        {"CheckSpellMaxRoll", "ticked", 246, "\x01"},
        {"txtSpellShortName", "Fb", 251, "Fb   "},
    };
    addSlots(changes, "Spell", 216, 168, "SpellStealth", 102, "3.5", 4);
    expectOnlyTheseBytesChange(TableId::Spells, changes);
}

TEST(BoxChange, MessageBoxes) {
    expectOnlyTheseBytesChange(TableId::Messages,
                               {
                                   {"txtMessageLine1", "You hear a bell.", 4, ruled("You hear a bell.", 74)},
                                   {"txtMessageLine2", "", 86, ruled("", 74)},
                                   {"txtMessageLine3", QString(73, 'x'), 168, ruled(std::string(73, 'x'), 74)},
                               });
}

}  // namespace
