// The Monsters tab, shown only: its numbers, texts, words and lettered rows. (That an
// Update there writes nothing is the window's dispatch test.)
#include "editor_session.h"

namespace {

using records::TableId;

Row monsterRow() {
    Row row(696, 0);
    put32(row, 0, 70000);
    putText(row, 4, ruled("Cave Troll", 29));
    put16(row, 92, 7);                                      // Type without a word
    row[95] = 1;                                            // Undead
    put16(row, 96, -1);                                     // Alignment without a word
    row[456] = 2;                                           // Gender
    row[472] = 1;                                           // attack A: Attack
    row[474] = 3;                                           // attack C: no word
    row[476] = 2;                                           // attack E: Spell
    row[482] = 200;                                         // attack C accuracy
    put16(row, 68 + 8, 102);                                // ability slot 4
    put16(row, 78 + 8, -77);                                // its value
    put16(row, 136 + 4, -1234);                             // drop uses C
    row[146 + 4] = 250;                                     // drop percentage E
    put16(row, 116 + 4 * 3, 31000);                         // drop item D
    put16(row, 516 + 4 * 1, 444);                           // hit message B
    put16(row, 556 + 4 * 4, -9);                            // miss message E
    put16(row, 152 + 4 * 2, 12345);                         // gold
    row[639 + 4] = 99;                                      // cast level E
    putText(row, 172, std::string(60, 'd') + "        x");  // 69 characters, no zero
    putText(row, 243, std::string(66, 'w') + "   ");        // trailing blanks kept
    return row;
}

TEST(MonsterDisplay, FieldsWordsAndLetters) {
    EditorSession s(TableId::Monsters, monsterRow());
    struct Shown {
        const char* box;
        QString text;
    };
    for (const Shown& c : std::vector<Shown>{
             {"txtMonsterNumber", "70000"},
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
         }) {
        EXPECT_EQ(s.text(c.box), c.text) << c.box;
    }
    struct Word {
        const char* box;
        const char* word;
    };
    for (const Word& c : std::vector<Word>{{"txtMonsterType", "Unknown"},
                                           {"txtMonsterAlignment", "Unknown"},
                                           {"txtMonsterGender", "She"},
                                           {"txtMonsterAttackTypeA", "Attack"},
                                           {"txtMonsterAttackTypeC", "Unknown"},
                                           {"txtMonsterAttackTypeE", "Spell"},
                                           {"txtMonsterabila_4", "MonsterStealth"},
                                           {"txtMonsterabila_0", "None"}}) {
        EXPECT_EQ(s.combo(c.box).currentText(), c.word) << c.box;
    }
    EXPECT_EQ(s.text("txtMonsterWeaponName"), "") << "name boxes are filled by nothing";
}

}  // namespace
