#include "records/word_tables.h"

#include <array>

namespace records {
namespace {

// Tables whose codes run 0, 1, 2 ... in list order.
template <std::size_t N>
constexpr std::array<CodeWord, N> numbered(const std::array<std::string_view, N>& words) {
    std::array<CodeWord, N> rows{};
    for (std::size_t i = 0; i < N; ++i) rows[i] = {static_cast<std::int16_t>(i), words[i]};
    return rows;
}

constexpr auto kClassMagicType = numbered<6>({"None", "Mage", "Priest", "Druid", "Bard", "Kai"});
constexpr auto kClassWeapon = numbered<10>({"1H Blunt", "2H Blunt", "1H Sharp", "2H Sharp", "Any 1H", "Any 2H",
                                            "Any Sharp", "Any Blunt", "All Weapons", "Limited (staff)"});
constexpr auto kClassArmour =
    numbered<10>({"Natural", "Robes", "Padded", "Soft Leather", "Soft Studded Leather", "Rigid Leather",
                  "Studded Rigid Leather", "Chainmail", "Scalemail", "Platemail"});

constexpr std::array<CodeWord, 2> kSpellStyle{{{0, "Auto-Combat"}, {3, "Between Round"}}};
constexpr auto kSpellTarget =
    numbered<16>({"Single", "Self", "Self or Single", "?Divided Area", "Any Monster", "?Divided Area You", "?6", "Item",
                  "Any Monster or Single", "?Divided Party Area", "?10", "?11", "Full Attack Area", "Full Party Area",
                  "?14", "Unknown"});
constexpr auto kSpellElement = numbered<7>({"Cold", "Fire", "Stone", "Lightning", "Normal", "Water", "Poison"});
constexpr auto kSpellMagicType = numbered<6>({"Item/Monster", "Mage", "Priest", "Druid", "Bard", "Kai"});

constexpr auto kMonsterType = numbered<4>({"Solo", "Leader", "Follower", "Stationary"});
constexpr auto kMonsterUndead = numbered<2>({"No", "Yes"});
constexpr auto kMonsterGender = numbered<3>({"It", "He", "She"});
constexpr auto kMonsterAlignment =
    numbered<7>({"Good", "Evil", "Chaotic Evil", "Neutral", "Lawful Good", "Neutral Evil", "Lawful Evil"});
constexpr auto kMonsterAttackType = numbered<3>({"None", "Attack", "Spell"});

}  // namespace

const CodeTable& classMagicTypeTable() {
    static const CodeTable t{kClassMagicType};
    return t;
}
const CodeTable& classWeaponTable() {
    static const CodeTable t{kClassWeapon};
    return t;
}
const CodeTable& classArmourTable() {
    static const CodeTable t{kClassArmour};
    return t;
}

const CodeTable& spellStyleTable() {
    static const CodeTable t{kSpellStyle};
    return t;
}
const CodeTable& spellTargetTable() {
    static const CodeTable t{kSpellTarget, 15};
    return t;
}
const CodeTable& spellElementTable() {
    static const CodeTable t{kSpellElement};
    return t;
}
const CodeTable& spellMagicTypeTable() {
    static const CodeTable t{kSpellMagicType};
    return t;
}

const CodeTable& monsterTypeTable() {
    static const CodeTable t{kMonsterType};
    return t;
}
const CodeTable& monsterUndeadTable() {
    static const CodeTable t{kMonsterUndead};
    return t;
}
const CodeTable& monsterGenderTable() {
    static const CodeTable t{kMonsterGender};
    return t;
}
const CodeTable& monsterAlignmentTable() {
    static const CodeTable t{kMonsterAlignment};
    return t;
}
const CodeTable& monsterAttackTypeTable() {
    static const CodeTable t{kMonsterAttackType};
    return t;
}

}  // namespace records
