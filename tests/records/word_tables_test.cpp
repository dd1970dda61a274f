// Word tables of the coded fields: sparse and open-ended codes, read-back
// of every code of every code table, ability tables included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "abilities/ability_table.h"
#include "records/word_tables.h"

namespace records {
namespace {

// Whatever any code of any code table shows reads back as that code when the box is
// left untouched. The word tables are in code order and each word names its own code
// (the ability tables share a few names on purpose: their own test covers those).
TEST(WordTables, EveryShownCodeOfEveryTableReadsBack) {
    const std::vector<const CodeTable*> wordTables{
        &classMagicTypeTable(), &classWeaponTable(),   &classArmourTable(),      &spellStyleTable(),
        &spellTargetTable(),    &spellElementTable(),  &spellMagicTypeTable(),   &monsterTypeTable(),
        &monsterUndeadTable(),  &monsterGenderTable(), &monsterAlignmentTable(), &monsterAttackTypeTable()};
    std::vector<const CodeTable*> tables = wordTables;
    for (const auto kind : {abilities::AbilityKind::Race, abilities::AbilityKind::Class, abilities::AbilityKind::Spell,
                            abilities::AbilityKind::Monster})
        tables.push_back(&abilities::abilityTable(kind));
    for (const CodeTable* table : tables) {
        const auto rows = table->rows();
        ASSERT_FALSE(rows.empty());
        const bool wordTable = std::find(wordTables.begin(), wordTables.end(), table) != wordTables.end();
        for (std::size_t i = 0; wordTable && i < rows.size(); ++i) {
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

TEST(WordTables, CodeReadBackFromABoxText) {
    struct Case {
        const char* what;
        const CodeTable& table;
        std::string_view text;
        std::int16_t stored;
        std::optional<std::int16_t> expected;
    };
    const std::vector<Case> cases{
        {"chosen Unknown stores 15", spellTargetTable(), "Unknown", 3, 15},
        {"typed style without a word", spellStyleTable(), "2", 0, 2},
        {"number of a code that has a word", spellStyleTable(), "3", 0, std::nullopt},
        {"number shown as Unknown", spellTargetTable(), "200", 0, std::nullopt},
        {"number not in plain form", spellStyleTable(), "+2", 0, std::nullopt},
        {"number out of 16 bits", spellStyleTable(), "40000", 0, std::nullopt},
        {"wrong letter case", spellStyleTable(), "auto-combat", 3, std::nullopt},
        {"empty text", monsterGenderTable(), "", 1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.table.codeFromText(c.text, c.stored), c.expected);
    }
}

}  // namespace
}  // namespace records
