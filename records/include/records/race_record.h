// A race record of "wccrace2.dat": 126 bytes, all described by RaceFields.
#pragma once

#include <cstdint>

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

}  // namespace records
