// Word tables of the coded fields and the ability tables: sparse and open-ended
// codes, typed names and numbers, shared names, read-back of every code of every table.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "abilities/ability_table.h"
#include "records/word_tables.h"

namespace records {
namespace {

using abilities::abilityTable;
using K = abilities::AbilityKind;

// Whatever any code of any code table shows reads back as that code when the box is
// left untouched. The tables are in code order and each word names its own code, but
// for the names the ability tables share on purpose (any other pair of equal names
// would be a typing error in the table).
TEST(WordTables, EveryShownCodeOfEveryTableReadsBack) {
    const std::pair<const CodeTable*, std::set<int>> tables[] = {
        {&classMagicTypeTable(), {}},    {&classWeaponTable(), {}},
        {&classArmourTable(), {}},       {&spellStyleTable(), {}},
        {&spellTargetTable(), {}},       {&spellElementTable(), {}},
        {&spellMagicTypeTable(), {}},    {&monsterTypeTable(), {}},
        {&monsterUndeadTable(), {}},     {&monsterGenderTable(), {}},
        {&monsterAlignmentTable(), {}},  {&monsterAttackTypeTable(), {}},
        {&abilityTable(K::Race), {54}},  {&abilityTable(K::Class), {54, 103}},
        {&abilityTable(K::Spell), {54}}, {&abilityTable(K::Monster), {54}}};
    for (const auto& [table, shared] : tables) {
        const auto rows = table->rows();
        ASSERT_FALSE(rows.empty());
        std::set<int> leadElsewhere;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (table->code(rows[i].word) != rows[i].code) leadElsewhere.insert(rows[i].code);
            if (i > 0) {
                EXPECT_GT(rows[i].code, rows[i - 1].code) << rows[i].word;
            }
        }
        EXPECT_EQ(leadElsewhere, shared) << rows.front().word;
        for (int code = INT16_MIN; code <= INT16_MAX; ++code) {
            const auto stored = static_cast<std::int16_t>(code);
            ASSERT_EQ(table->codeFromText(table->displayText(code), stored), stored)
                << rows.front().word << " " << code;
        }
    }
}

// The code a box text reads back as, given the code stored before: word tables and
// ability tables, typed names, typed numbers and the shared names.
TEST(WordTables, CodeReadBackFromABoxText) {
    // What the case shows, the table, the box text, the code stored before, the code read back.
    const std::tuple<const char*, const CodeTable&, std::string_view, std::int16_t, std::optional<std::int16_t>>
        cases[] = {
            {"chosen Unknown stores 15", spellTargetTable(), "Unknown", 3, 15},
            {"typed style without a word", spellStyleTable(), "2", 0, 2},
            {"number of a code that has a word", spellStyleTable(), "3", 0, std::nullopt},
            {"number shown as Unknown", spellTargetTable(), "200", 0, std::nullopt},
            {"number not in plain form", spellStyleTable(), "+2", 0, std::nullopt},
            {"number out of 16 bits", spellStyleTable(), "40000", 0, std::nullopt},
            {"wrong letter case", spellStyleTable(), "auto-combat", 3, std::nullopt},
            {"empty text", monsterGenderTable(), "", 1, std::nullopt},
            {"upper-case CURSED", abilityTable(K::Race), "CURSED", 0, 83},
            {"small letters name nothing", abilityTable(K::Race), "cursed", 82, std::nullopt},
            {"trailing blank", abilityTable(K::Spell), "Illu ", 13, std::nullopt},
            {"ability Unknown chosen", abilityTable(K::Race), "Unknown", 5, 179},
            {"ability Unknown untouched keeps 300", abilityTable(K::Race), "Unknown", 300, 300},
            {"Illu chosen takes the lower code", abilityTable(K::Race), "Illu", 0, 13},
            {"ClassStealth untouched keeps 103", abilityTable(K::Class), "ClassStealth", 103, 103},
            {"ClassStealth chosen in a class", abilityTable(K::Class), "ClassStealth", 7, 102},
            {"ClassStealth in a race", abilityTable(K::Race), "ClassStealth", 102, 103},
            {"own stealth in a race", abilityTable(K::Race), "RaceStealth", 0, 102},
            {"monster stealth in a race", abilityTable(K::Race), "MonsterStealth", 0, std::nullopt},
            {"race recharge", abilityTable(K::Race), "racerecharge", 0, 121},
            {"typed negative ability number", abilityTable(K::Race), "-7", 3, -7},
        };
    for (const auto& [what, table, text, stored, expected] : cases)
        EXPECT_EQ(table.codeFromText(text, stored), expected) << what;
}

}  // namespace
}  // namespace records
