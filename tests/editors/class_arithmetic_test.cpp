// The three class boxes shown shifted or summed, and the arithmetic that takes the
// shift back on saving: read as numbers, rounded half to even.
#include "editor_session.h"

namespace {

using records::TableId;

Row classRow(int minHP, int hpRange, int exp, int combat) {
    Row row(156, 0);
    put16(row, 0, 5);
    putText(row, 2, ruled("Warrior", 29));
    put16(row, 32, minHP);
    put16(row, 34, hpRange);
    put16(row, 36, exp);
    put16(row, 72, combat);
    return row;
}

TEST(ClassArithmetic, ShownAndSavedValues) {
    struct Case {
        const char* box;
        const char* typed;
        std::size_t offset;
        int stored;
    };
    for (const Case& c : std::vector<Case>{
             {"txtClassMaxHp", "20", 34, 15},
             {"txtClassExp", "150", 36, 50},
             {"txtClassCombat", "1", 72, 3},
             {"txtClassMinHP", "8", 34, 7},     // the maximum stays what its box shows
             {"txtClassExp", "0.5", 36, -100},  // -99.5 goes to the even -100
             {"txtClassExp", "1.5", 36, -98},   // -98.5 goes to the even -98
             {"txtClassCombat", "0.5", 72, 2},  // 2.5 goes to 2
             {"txtClassCombat", "1.5", 72, 4},  // 3.5 goes to 4
             {"txtClassMaxHp", "7.5", 34, 2},   // 2.5 goes to 2
             {"txtClassMaxHp", "16 ", 34, 11},
         }) {
        SCOPED_TRACE(std::string(c.box) + " <- " + c.typed);
        EditorSession s(TableId::Classes, classRow(5, 10, 0, 3));
        EXPECT_EQ(s.text("txtClassMinHP"), "5");
        EXPECT_EQ(s.text("txtClassMaxHp"), "15");
        EXPECT_EQ(s.text("txtClassExp"), "100");
        EXPECT_EQ(s.text("txtClassCombat"), "1");
        s.line(c.box).setText(c.typed);
        s.editor->update();
        EXPECT_TRUE(s.dialogs.boxes.empty());
        EXPECT_EQ(field16(s.stored(), c.offset), c.stored);
    }
}

TEST(ClassArithmetic, SumsBeyondSixteenBitsAreShownWholeAndSavedBack) {
    const Row row = classRow(32000, 32000, 32767, -32768);
    EditorSession s(TableId::Classes, row);
    EXPECT_EQ(s.text("txtClassMaxHp"), "64000");
    EXPECT_EQ(s.text("txtClassExp"), "32867");
    EXPECT_EQ(s.text("txtClassCombat"), "-32770");
    s.editor->update();
    EXPECT_EQ(s.stored(), row);
}

}  // namespace
