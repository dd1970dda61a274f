// The ability code table: typed names per kind, the open end and the shared names
// (that every untouched code reads back is the word tables' test).
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>
#include <vector>

#include "abilities/ability_table.h"

namespace abilities {
namespace {

constexpr std::array kAllKinds{AbilityKind::Race, AbilityKind::Class, AbilityKind::Spell, AbilityKind::Monster};

TEST(AbilityTable, CodeOfABoxText) {
    using K = AbilityKind;
    struct Case {
        const char* what;
        K kind;
        std::string_view text;
        std::int16_t stored;
        std::optional<std::int16_t> expected;
    };
    const std::vector<Case> cases{
        {"upper-case CURSED", K::Race, "CURSED", 0, 83},
        {"small letters name nothing", K::Race, "cursed", 82, std::nullopt},
        {"trailing blank", K::Spell, "Illu ", 13, std::nullopt},
        {"Unknown chosen", K::Race, "Unknown", 5, 179},
        {"Unknown untouched keeps 300", K::Race, "Unknown", 300, 300},
        {"Illu chosen takes the lower code", K::Race, "Illu", 0, 13},
        {"ClassStealth untouched keeps 103", K::Class, "ClassStealth", 103, 103},
        {"ClassStealth chosen in a class", K::Class, "ClassStealth", 7, 102},
        {"ClassStealth in a race", K::Race, "ClassStealth", 102, 103},
        {"own stealth in a race", K::Race, "RaceStealth", 0, 102},
        {"monster stealth in a race", K::Race, "MonsterStealth", 0, std::nullopt},
        {"race recharge", K::Race, "racerecharge", 0, 121},
        {"typed negative number", K::Race, "-7", 3, -7},
        {"number of a named code", K::Race, "5", 0, std::nullopt},
        {"negative number not in plain form", K::Race, "-07", 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(abilityTable(c.kind).codeFromText(c.text, c.stored), c.expected);
    }
}

TEST(AbilityTable, OnlyTheSharedNamesLeadToAnotherCode) {
    // Any other pair of equal names would be a typing error in the table.
    for (const AbilityKind kind : kAllKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto& table = abilityTable(kind);
        std::set<int> shared;
        for (int code = 0; code < kAbilityRows; ++code)
            if (table.code(*table.word(code)) != code) shared.insert(code);
        const std::set<int> expected = kind == AbilityKind::Class ? std::set<int>{54, 103} : std::set<int>{54};
        EXPECT_EQ(shared, expected);
    }
}

}  // namespace
}  // namespace abilities
