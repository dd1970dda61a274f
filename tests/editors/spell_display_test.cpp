// The spell's range labels, worked out from the stored numbers.
#include "editor_session.h"

namespace {

using records::TableId;

Row spellRow(int min, int max, int levelCap, int levelMod, int increase) {
    Row row(260, 0);
    put16(row, 0, 5);
    putText(row, 2, ruled("Spark", 29));
    putText(row, 251, "Spark");
    put16(row, 192, min);
    put16(row, 194, max);
    row[162] = static_cast<std::uint8_t>(levelCap);
    row[242] = static_cast<std::uint8_t>(levelMod);
    row[243] = static_cast<std::uint8_t>(increase);
    return row;
}

TEST(SpellRange, Labels) {
    struct Case {
        Row row;
        const char* formula;
        const char* total;
    };
    for (const Case& c : std::vector<Case>{
             {spellRow(5, 20, 0, 2, 3), "(min: 5 max: 20 + (2*(Level / 3))", "(Total: 20)"},
             {spellRow(0, 0, 10, 1, 3), "(min: 0 max: 0 + (1*(Level / 3))", "(Total: 3.33333333333333)"},
             {spellRow(0, 10, 25, 3, 2), "(min: 0 max: 10 + (3*(Level / 2))", "(Total: 47.5)"},
             {spellRow(0, 10, 25, 2, 2), "(min: 0 max: 10 + (2*(Level / 2))", "(Total: 35)"},
             {spellRow(-4, -7, 200, 255, 0), "(min: -4 max: -7 + (255*(Level / 0))", "(Total: -7)"},
         }) {
        SCOPED_TRACE(c.total);
        EditorSession s(TableId::Spells, c.row);
        EXPECT_EQ(s.find<QLabel>("lblSpellRangeA").text(), c.formula);
        EXPECT_EQ(s.find<QLabel>("lblSpellRange").text(), c.total);
    }
}

}  // namespace
