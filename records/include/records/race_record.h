// A race record of "wccrace2.dat": 126 bytes, all described by RaceFields.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/record_description.h"

namespace records {

// Members follow the row in order; HiddenNN fields are carried, never shown (NN = row offset).
struct RaceRecord {
    std::int16_t Number;
    char Name[29];
    std::uint8_t Hidden31;
    std::int16_t MinIntellect;
    std::int16_t MinWillpower;
    std::int16_t MinStrength;
    std::int16_t MinHealth;
    std::int16_t MinAgility;
    std::int16_t MinCharm;
    std::int16_t HPBonus;
    std::int16_t Hidden46;
    std::int16_t Hidden48;
    std::int16_t AbilityCode[10];
    std::int16_t CP;
    std::int16_t AbilityValue[10];
    std::int16_t Hidden92;
    std::int16_t Hidden94;
    std::int16_t Hidden96;
    std::int16_t ExpChart;
    std::int16_t Hidden100;
    std::int16_t MaxIntellect;
    std::int16_t MaxWillpower;
    std::int16_t MaxStrength;
    std::int16_t MaxHealth;
    std::int16_t MaxAgility;
    std::int16_t MaxCharm;
    std::int16_t Hidden114[6];
};

// Read and shown in the order of the turns: number, name, the three single boxes, the
// minimums, the maximums, the ability values.
#define AT(member) RECORD_FIELD(RaceRecord, member)
namespace race {
using namespace description;
constexpr int kDigits = 3;
constexpr Box attribute(std::string_view name, std::string_view caption, int row, int column, int turn) {
    return gridBox(name, caption, row, column, kDigits, turn);
}
}  // namespace race

inline constexpr std::array kRaceDescription{
    race::number(AT(Number), 2, description::numberBox("txtRaceNumber", 10, Reading::Whole)),
    race::text(AT(Name), 29, description::nameBox("txtRaceName", Reading::NameRule)),
    race::hidden(AT(Hidden31), 1),
    race::number(AT(MinIntellect), 2, race::attribute("txtRaceMinIntellect", "Intellect", 3, 1, 7)),
    race::number(AT(MinWillpower), 2, race::attribute("txtRaceMinWillpower", "Willpower", 5, 1, 9)),
    race::number(AT(MinStrength), 2, race::attribute("txtRaceMinStrength", "Strength", 1, 1, 5)),
    race::number(AT(MinHealth), 2, race::attribute("txtRaceMinHealth", "Health", 4, 1, 8)),
    race::number(AT(MinAgility), 2, race::attribute("txtRaceMinAgility", "Agility", 2, 1, 6)),
    race::number(AT(MinCharm), 2, race::attribute("txtRaceMinCharm", "Charm", 6, 1, 10)),
    race::number(AT(HPBonus), 2, race::attribute("txtRaceHPBonus", "HP Bonus", 9, 1, 3)),
    race::hidden(AT(Hidden46), 2),
    race::hidden(AT(Hidden48), 2),
    race::abilityCodes(offsetof(RaceRecord, AbilityCode), 10, {.name = "txtRaceabila", .group = 1, .column = 0}),
    race::number(AT(CP), 2, race::attribute("txtRaceCP", "CP", 8, 1, 4)),
    race::abilityValues(offsetof(RaceRecord, AbilityValue), 10,
                        {.name = "txtRaceabilb", .group = 1, .typingLimit = race::kDigits, .turn = 17}),
    race::hidden(AT(Hidden92), 2),
    race::hidden(AT(Hidden94), 2),
    race::hidden(AT(Hidden96), 2),
    race::number(AT(ExpChart), 2, race::attribute("txtRaceExpChart", "Exp Chart", 7, 1, 2)),
    race::hidden(AT(Hidden100), 2),
    race::number(AT(MaxIntellect), 2, race::attribute("txtRaceMaxIntellect", "Intellect", 3, 2, 13)),
    race::number(AT(MaxWillpower), 2, race::attribute("txtRaceMaxWillpower", "Willpower", 5, 2, 15)),
    race::number(AT(MaxStrength), 2, race::attribute("txtRaceMaxStrength", "Strength", 1, 2, 11)),
    race::number(AT(MaxHealth), 2, race::attribute("txtRaceMaxHealth", "Health", 4, 2, 14)),
    race::number(AT(MaxAgility), 2, race::attribute("txtRaceMaxAgility", "Agility", 2, 2, 12)),
    race::number(AT(MaxCharm), 2, race::attribute("txtRaceMaxCharm", "Charm", 6, 2, 16)),
    race::hidden(AT(Hidden114), 2, 6),
};
#undef AT

static_assert(tilesStructure<elementCount(kRaceDescription)>(kRaceDescription, sizeof(RaceRecord),
                                                             alignof(RaceRecord)));
static_assert(boxesDistinct(kRaceDescription));

}  // namespace records
