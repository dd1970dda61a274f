// The demo world's races and classes.
#include <string_view>

#include "demo_records.h"
#include "demo_text.h"

namespace gamedata::detail {
namespace {

using namespace std::string_view_literals;

// Attributes in record order: Intellect, Willpower, Strength, Health, Agility, Charm.
using Attributes = std::array<std::int16_t, 6>;

struct RaceSeed {
    std::string_view name;
    Attributes min;
    Attributes max;
    std::int16_t hpBonus;
    std::int16_t cp;
    std::int16_t expChart;
    std::array<Slot, 10> slots;
};

constexpr std::int16_t kMin16 = -32768;
constexpr std::int16_t kMax16 = 32767;

const std::array<RaceSeed, 12> kRaces{{
    {"Fenwight", {9, 8, 6, 7, 12, 9}, {19, 18, 15, 16, 23, 19}, 2, 40, 100, {{{27, 10}, {57, 1}, {147, 15}}}},
    // A negative ability code, which has no name.
    {"Stonekin", {6, 9, 14, 13, 4, 5}, {15, 19, 25, 24, 12, 13}, 6, 30, 115, {{{65, 25}, {2, 2}, {-1, 7}}}},
    // Exactly 29 characters: the name fills the field, no zero byte.
    {"Children of the Sunken Groves",
     {10, 12, 6, 8, 9, 10},
     {20, 22, 15, 17, 19, 21},
     3,
     45,
     120,
     {{{147, 20}, {34, 3}}}},
    // The last named code, 178, and 179, the first "Unknown".
    {"Duskling", {11, 9, 5, 6, 13, 7}, {21, 19, 14, 15, 24, 16}, 1, 50, 125, {{{178, 1}, {179, 2}, {172, 1}}}},
    {"Vörnkin", {7, 10, 12, 11, 7, 6}, {16, 20, 22, 21, 16, 15}, 5, 35, 105, {{{3, 30}, {15, -5}}}},
    // The largest code, and the two rows that share the name "Illu".
    {"Marrowfolk", {8, 11, 9, 10, 8, 4}, {17, 21, 18, 20, 17, 12}, 4, 40, 110, {{{kMax16, 3}, {13, 4}, {54, 2}}}},
    {"Glimmerfée", {13, 12, 4, 5, 11, 12}, {24, 22, 12, 14, 21, 23}, 0, 55, 130, {{{26, 1}, {69, 10}, {13, 1}}}},
    {"Brackenhob", {8, 7, 8, 9, 10, 6}, {17, 16, 18, 19, 20, 15}, 3, 40, 100, {{{38, 12}, {37, 8}}}},
    // The stored name ends in a zero byte followed by what is left of an older name.
    {"Wraithborn\0ghostkin"sv,
     {10, 13, 6, 6, 9, 5},
     {19, 23, 16, 15, 18, 14},
     2,
     45,
     135,
     {{{kMin16, 1}, {23, 1}, {8, 3}}}},
    {"Tidewalker", {9, 10, 9, 10, 10, 8}, {18, 20, 18, 20, 20, 17}, 3, 40, 105, {{{147, 30}, {5, -10}}}},
    {"Cinderborn", {8, 9, 11, 10, 9, 7}, {17, 18, 21, 20, 18, 16}, 4, 40, 110, {{{5, 30}, {147, -15}}}},
    // The extremes of the 16-bit fields, and a code-0 slot that carries a value.
    {"Edgewalker",
     {kMin16, 0, 1, kMax16, -1, 255},
     {kMax16, kMin16, 256, 0, 1, -255},
     kMin16,
     kMax16,
     kMax16,
     {{{0, kMin16}, {178, kMax16}, {179, -1}}}},
}};

struct ClassSeed {
    std::string_view name;
    std::int16_t minHP;
    std::int16_t hpRange;
    std::int16_t expShown;  // stored as the shown value minus 100
    std::int16_t magicType;
    std::int16_t magicLevel;
    std::int16_t weapon;
    std::int16_t armour;
    std::int16_t combatShown;  // stored as the shown value plus 2
    std::int16_t title;
    std::array<Slot, 10> slots;
};

const std::array<ClassSeed, 10> kClasses{{
    {"Warden", 8, 6, 110, 0, 0, 8, 9, 3, 1, {{{31, 2}, {58, 1}, {104, 5}}}},
    {"Hexblade", 6, 5, 140, 1, 2, 2, 3, 2, 2, {{{142, 4}, {69, 5}}}},
    {"Lanternkeeper", 5, 4, 130, 2, 3, 0, 2, 1, 3, {{{18, 5}, {23, 1}, {53, 1}}}},
    {"Thornpriest", 5, 5, 125, 3, 3, 7, 5, 1, 4, {{{80, 1}, {19, 3}}}},
    {"Skald", 6, 5, 120, 4, 2, 4, 6, 2, 5, {{{49, 5}, {67, 2}}}},
    // 102 and 103 are both "ClassStealth" for a class.
    {"Cutpurse", 4, 4, 100, 0, 0, 6, 4, 2, 6, {{{102, 5}, {103, 3}, {39, 8}, {37, 10}, {27, 6}}}},
    // Magic type 9 has no word in the magic type table.
    {"Runesmith", 6, 4, 135, 9, 3, 7, 7, 2, 7, {{{152, 3}, {163, 1}}}},
    {"Grovecaller", 5, 3, 125, 3, 4, 9, 1, 0, 8, {{{12, 2}, {78, 1}}}},
    {"Duelist", 7, 5, 115, 0, 0, 4, 3, 4, 9, {{{34, 6}, {22, 4}, {105, 2}}}},
    {"Mistdancer", 4, 4, 150, 5, 4, 9, 1, 3, 10, {{{171, 1}, {35, 3}, {159, 1}}}},
}};

}  // namespace

std::vector<records::RaceRecord> worldRaces() {
    std::vector<records::RaceRecord> races;
    for (const RaceSeed& seed : kRaces) {
        records::RaceRecord r{};
        r.Number = static_cast<std::int16_t>(races.size() + 1);
        putText(r.Name, seed.name);
        std::int16_t* mins[] = {&r.MinIntellect, &r.MinWillpower, &r.MinStrength,
                                &r.MinHealth,    &r.MinAgility,   &r.MinCharm};
        std::int16_t* maxes[] = {&r.MaxIntellect, &r.MaxWillpower, &r.MaxStrength,
                                 &r.MaxHealth,    &r.MaxAgility,   &r.MaxCharm};
        for (std::size_t i = 0; i < 6; ++i) {
            *mins[i] = seed.min[i];
            *maxes[i] = seed.max[i];
        }
        r.HPBonus = seed.hpBonus;
        r.CP = seed.cp;
        r.ExpChart = seed.expChart;
        putSlots(r.AbilityCode, r.AbilityValue, seed.slots);
        races.push_back(r);
    }
    return races;
}

std::vector<records::ClassRecord> worldClasses() {
    std::vector<records::ClassRecord> classes;
    for (const ClassSeed& seed : kClasses) {
        records::ClassRecord c{};
        c.Number = static_cast<std::int16_t>(classes.size() + 1);
        putText(c.Name, seed.name);
        c.MinHP = seed.minHP;
        c.HPRange = seed.hpRange;
        c.Exp = static_cast<std::int16_t>(seed.expShown - 100);
        c.MagicType = seed.magicType;
        c.MagicLevel = seed.magicLevel;
        c.Weapon = seed.weapon;
        c.Armour = seed.armour;
        c.Combat = static_cast<std::int16_t>(seed.combatShown + 2);
        c.Title = seed.title;
        putSlots(c.AbilityCode, c.AbilityValue, seed.slots);
        classes.push_back(c);
    }
    return classes;
}

}  // namespace gamedata::detail
