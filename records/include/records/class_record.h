// A class record of "wccclas2.dat": 156 bytes; ClassFields describes the first 102.
#pragma once

#include <cstddef>
#include <cstdint>

namespace records {

// Members follow the row in order; HiddenNN fields are carried, never shown (NN = row offset).
// Bytes 102 to 155 live only in the packed row.
struct ClassRecord {
    std::int16_t Number;
    char Name[29];
    std::uint8_t Hidden31;
    std::int16_t MinHP;
    std::int16_t HPRange;  // maximum hit points minus MinHP
    std::int16_t Exp;      // experience percentage minus 100
    std::int16_t Hidden38;
    std::int16_t Hidden40;
    std::int16_t Hidden42;
    std::int16_t AbilityCode[10];
    std::int16_t MagicType;
    std::int16_t MagicLevel;
    std::int16_t Weapon;
    std::int16_t Armour;
    std::int16_t Combat;  // shown value plus 2
    std::int16_t AbilityValue[10];
    std::int16_t Hidden94;
    std::int16_t Hidden96;
    std::int16_t Hidden98;
    std::int16_t Title;
};

// Each member at its offset in the structure, natural alignment and all; the layout
// lists and the row conversion rely on exactly this order and these widths.
static_assert(sizeof(ClassRecord) == 102);
static_assert(offsetof(ClassRecord, Number) == 0);
static_assert(offsetof(ClassRecord, Name) == 2);
static_assert(offsetof(ClassRecord, Hidden31) == 31);
static_assert(offsetof(ClassRecord, MinHP) == 32);
static_assert(offsetof(ClassRecord, HPRange) == 34);
static_assert(offsetof(ClassRecord, Exp) == 36);
static_assert(offsetof(ClassRecord, Hidden38) == 38);
static_assert(offsetof(ClassRecord, Hidden40) == 40);
static_assert(offsetof(ClassRecord, Hidden42) == 42);
static_assert(offsetof(ClassRecord, AbilityCode) == 44);
static_assert(offsetof(ClassRecord, MagicType) == 64);
static_assert(offsetof(ClassRecord, MagicLevel) == 66);
static_assert(offsetof(ClassRecord, Weapon) == 68);
static_assert(offsetof(ClassRecord, Armour) == 70);
static_assert(offsetof(ClassRecord, Combat) == 72);
static_assert(offsetof(ClassRecord, AbilityValue) == 74);
static_assert(offsetof(ClassRecord, Hidden94) == 94);
static_assert(offsetof(ClassRecord, Hidden96) == 96);
static_assert(offsetof(ClassRecord, Hidden98) == 98);
static_assert(offsetof(ClassRecord, Title) == 100);

}  // namespace records
