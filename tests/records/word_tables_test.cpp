// Word tables of the coded fields: shown words, sparse and open-ended codes, read-back.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "records/word_tables.h"

namespace records {
namespace {

// Every word names its own code, in code order, and whatever a code shows reads
// back as that code when the box is left untouched.
TEST(WordTables, WordsAreUniqueAndEveryShownCodeReadsBack) {
    for (const CodeTable* table :
         {&classMagicTypeTable(), &classWeaponTable(), &classArmourTable(), &spellStyleTable(), &spellTargetTable(),
          &spellElementTable(), &spellMagicTypeTable(), &monsterTypeTable(), &monsterUndeadTable(),
          &monsterGenderTable(), &monsterAlignmentTable(), &monsterAttackTypeTable()}) {
        const auto rows = table->rows();
        ASSERT_FALSE(rows.empty());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(table->code(rows[i].word), rows[i].code) << rows[i].word;
            if (i > 0) {
                EXPECT_GT(rows[i].code, rows[i - 1].code) << rows[i].word;
            }
        }
        for (int code = INT16_MIN; code <= INT16_MAX; ++code) {
            const auto stored = static_cast<std::int16_t>(code);
            ASSERT_EQ(table->codeFromText(table->displayText(code), stored), stored)
                << rows.front().word << " " << code;
        }
    }
}

TEST(WordTables, ShownTextOfACode) {
    struct Case {
        const CodeTable& table;
        int code;
        std::string_view shown;
    };
    const std::vector<Case> cases{
        {spellTargetTable(), 14, "?14"},
        {spellTargetTable(), 15, "Unknown"},
        {spellTargetTable(), 200, "Unknown"},
        {spellTargetTable(), 32767, "Unknown"},
        {spellTargetTable(), -1, "-1"},
        {spellStyleTable(), 0, "Auto-Combat"},
        {spellStyleTable(), 3, "Between Round"},
        {spellStyleTable(), 1, "1"},
        {spellStyleTable(), 2, "2"},
        {spellElementTable(), 7, "7"},
        {classWeaponTable(), 9, "Limited (staff)"},
        {monsterAlignmentTable(), -1, "-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.table.displayText(c.code), c.shown);
    }
    EXPECT_FALSE(spellStyleTable().word(1));
    EXPECT_FALSE(spellTargetTable().word(-1));
}

TEST(WordTables, CodeReadBackFromABoxText) {
    struct Case {
        const char* what;
        const CodeTable& table;
        std::string_view text;
        std::int16_t stored;
        std::optional<std::int16_t> expected;
    };
    const std::vector<Case> cases{
        {"untouched Unknown keeps 200", spellTargetTable(), "Unknown", 200, 200},
        {"chosen Unknown stores 15", spellTargetTable(), "Unknown", 3, 15},
        {"question-mark word", spellTargetTable(), "?14", 0, 14},
        {"sparse style code", spellStyleTable(), "Between Round", 0, 3},
        {"untouched style without a word", spellStyleTable(), "1", 1, 1},
        {"typed style without a word", spellStyleTable(), "2", 0, 2},
        {"number of a code that has a word", spellStyleTable(), "3", 0, std::nullopt},
        {"number shown as Unknown", spellTargetTable(), "200", 0, std::nullopt},
        {"negative target", spellTargetTable(), "-1", 0, -1},
        {"number not in plain form", spellStyleTable(), "+2", 0, std::nullopt},
        {"number out of 16 bits", spellStyleTable(), "40000", 0, std::nullopt},
        {"wrong letter case", spellStyleTable(), "auto-combat", 3, std::nullopt},
        {"trailing blank", classArmourTable(), "Platemail ", 0, std::nullopt},
        {"empty text", monsterGenderTable(), "", 1, std::nullopt},
        {"brackets count", classWeaponTable(), "Limited (staff)", 0, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.table.codeFromText(c.text, c.stored), c.expected);
    }
}

}  // namespace
}  // namespace records
