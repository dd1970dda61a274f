// A spell record of "wccspel2.dat": 260 bytes; SpellFields describes the first 256.
#pragma once

#include <cstdint>

namespace records {

// Members follow the row in order; HiddenNN fields are carried, never shown (NN = row offset).
// The values of the ability slots come ahead of their codes. Bytes 256 to 259 live
// only in the packed row.
struct SpellRecord {
    std::int16_t Number;
    char Name[29];
    std::uint8_t Hidden31;
    char DescA[50];
    std::uint8_t Hidden82;
    char DescB[50];
    std::uint8_t Hidden133;
    std::int16_t Hidden134[14];
    std::uint8_t LevelCap;
    std::uint8_t Hidden163;
    std::int16_t Hidden164;
    std::int16_t Hidden166;
    std::int16_t AbilityValue[10];
    std::int16_t Energy;
    std::int16_t Level;
    std::int16_t Min;
    std::int16_t Max;
    std::int16_t Style;
    std::int16_t Hidden198;
    std::int16_t Difficulty;
    std::int16_t Hidden202;
    std::int16_t Target;
    std::int16_t Length;
    std::int16_t Element;
    std::int16_t Hidden210;
    std::int16_t Hidden212;
    std::int16_t TypeA;
    std::int16_t AbilityCode[10];
    std::int16_t CastMsg;
    std::int16_t Hidden238;
    std::int16_t Mana;
    std::uint8_t LevelMod;
    std::uint8_t Increase;
    std::int16_t TypeB;
    std::uint8_t MaxRoll;
    std::uint8_t Hidden247;
    std::uint8_t Hidden248;
    std::int16_t Hidden249;
    char ShortName[5];
};

}  // namespace records
