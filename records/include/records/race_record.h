// A race record of "wccrace2.dat": 126 bytes, all described by RaceFields.
#pragma once

#include <cstddef>
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

// Each member at its offset in the structure, natural alignment and all; the layout
// lists and the row conversion rely on exactly this order and these widths.
static_assert(sizeof(RaceRecord) == 126);
static_assert(offsetof(RaceRecord, Number) == 0);
static_assert(offsetof(RaceRecord, Name) == 2);
static_assert(offsetof(RaceRecord, Hidden31) == 31);
static_assert(offsetof(RaceRecord, MinIntellect) == 32);
static_assert(offsetof(RaceRecord, MinWillpower) == 34);
static_assert(offsetof(RaceRecord, MinStrength) == 36);
static_assert(offsetof(RaceRecord, MinHealth) == 38);
static_assert(offsetof(RaceRecord, MinAgility) == 40);
static_assert(offsetof(RaceRecord, MinCharm) == 42);
static_assert(offsetof(RaceRecord, HPBonus) == 44);
static_assert(offsetof(RaceRecord, Hidden46) == 46);
static_assert(offsetof(RaceRecord, Hidden48) == 48);
static_assert(offsetof(RaceRecord, AbilityCode) == 50);
static_assert(offsetof(RaceRecord, CP) == 70);
static_assert(offsetof(RaceRecord, AbilityValue) == 72);
static_assert(offsetof(RaceRecord, Hidden92) == 92);
static_assert(offsetof(RaceRecord, Hidden94) == 94);
static_assert(offsetof(RaceRecord, Hidden96) == 96);
static_assert(offsetof(RaceRecord, ExpChart) == 98);
static_assert(offsetof(RaceRecord, Hidden100) == 100);
static_assert(offsetof(RaceRecord, MaxIntellect) == 102);
static_assert(offsetof(RaceRecord, MaxWillpower) == 104);
static_assert(offsetof(RaceRecord, MaxStrength) == 106);
static_assert(offsetof(RaceRecord, MaxHealth) == 108);
static_assert(offsetof(RaceRecord, MaxAgility) == 110);
static_assert(offsetof(RaceRecord, MaxCharm) == 112);
static_assert(offsetof(RaceRecord, Hidden114) == 114);

}  // namespace records
