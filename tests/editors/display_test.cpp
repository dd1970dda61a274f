// What a tab shows for stored bytes. The Monsters tab, shown only: its numbers, texts,
// words and lettered rows (that an Update there writes nothing is the window's dispatch
// test). The spell's range labels, worked out from the stored numbers.
#include "editor_session.h"

namespace {

using records::TableId;

Row monsterRow() {
    Row row(696, 0);
    putText(row, 0, le16(70000) + le16(70000 >> 16) + ruled("Cave Troll", 29));
    // Type and Alignment without a word, ability slot 4 and its value, drop uses C, drop
    // item D, hit message B, miss message E, gold.
    const std::pair<std::size_t, int> words[] = {{92, 7},        {96, -1},          {68 + 8, 102},
                                                 {78 + 8, -77},  {136 + 4, -1234},  {116 + 4 * 3, 31000},
                                                 {516 + 4, 444}, {556 + 4 * 4, -9}, {152 + 4 * 2, 12345}};
    for (const auto& [at, value] : words) put16(row, at, value);
    // Undead, Gender, attack types A (Attack), C (no word) and E (Spell), attack C's
    // accuracy, drop percentage E, cast level E.
    const std::pair<std::size_t, std::uint8_t> bytes[] = {{95, 1},  {456, 2},   {472, 1},       {474, 3},
                                                          {476, 2}, {482, 200}, {146 + 4, 250}, {639 + 4, 99}};
    for (const auto& [at, value] : bytes) row[at] = value;
    putText(row, 172, std::string(60, 'd') + "        x");  // 69 characters, no zero
    putText(row, 243, std::string(66, 'w') + "   ");        // trailing blanks kept
    return row;
}

TEST(MonsterDisplay, FieldsWordsAndLetters) {
    EditorSession s(TableId::Monsters, monsterRow());
    const std::pair<const char*, QString> shown[] = {{"txtMonsterNumber", "70000"},
                                                     {"txtMonsterName", "Cave Troll"},
                                                     {"txtMonsterAttackAccuracyC", "200"},
                                                     {"txtMonsterabilb_4", "-77"},
                                                     {"txtMonsterDropUsesC", "-1234"},
                                                     {"txtMonsterDropItemNumberD", "31000"},
                                                     {"txtMonsterAttackHitMessageB", "444"},
                                                     {"txtMonsterGold", "12345"},
                                                     {"txtMonsterSpellCastLvlE", "99"},
                                                     {"txtMonsterDescA", QString(60, 'd') + "        x"},
                                                     {"txtMonsterDescB", QString(66, 'w') + "   "},
                                                     {"txtMonsterType", "Unknown"},
                                                     {"txtMonsterAlignment", "Unknown"},
                                                     {"txtMonsterGender", "She"},
                                                     {"txtMonsterAttackTypeA", "Attack"},
                                                     {"txtMonsterAttackTypeC", "Unknown"},
                                                     {"txtMonsterAttackTypeE", "Spell"},
                                                     {"txtMonsterabila_4", "MonsterStealth"},
                                                     {"txtMonsterabila_0", "None"}};
    for (const auto& [box, text] : shown) EXPECT_EQ(s.shown(box), text) << box;
    EXPECT_EQ(s.line("txtMonsterWeaponName").text(), "") << "name boxes are filled by nothing";
}

TEST(SpellRange, Labels) {
    const struct {
        int min, max, levelCap, levelMod, increase;
        const char* formula;
        const char* total;
    } cases[] = {
        {5, 20, 0, 2, 3, "(min: 5 max: 20 + (2*(Level / 3))", "(Total: 20)"},
        {0, 0, 10, 1, 3, "(min: 0 max: 0 + (1*(Level / 3))", "(Total: 3.33333333333333)"},
        {0, 10, 25, 3, 2, "(min: 0 max: 10 + (3*(Level / 2))", "(Total: 47.5)"},
        {0, 10, 25, 2, 2, "(min: 0 max: 10 + (2*(Level / 2))", "(Total: 35)"},
        {-4, -7, 200, 255, 0, "(min: -4 max: -7 + (255*(Level / 0))", "(Total: -7)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        Row row = wellFormedRow(TableId::Spells);
        putText(row, 192, le16(c.min) + le16(c.max));
        row[162] = static_cast<std::uint8_t>(c.levelCap);
        putText(row, 242, std::string{static_cast<char>(c.levelMod), static_cast<char>(c.increase)});
        EditorSession s(TableId::Spells, row);
        EXPECT_EQ(s.find<QLabel>("lblSpellRangeA").text(), c.formula);
        EXPECT_EQ(s.find<QLabel>("lblSpellRange").text(), c.total);
    }
}

}  // namespace
