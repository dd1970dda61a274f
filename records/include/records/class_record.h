// A class record of "wccclas2.dat": 156 bytes; ClassFields describes the first 102.
#pragma once

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

}  // namespace records
