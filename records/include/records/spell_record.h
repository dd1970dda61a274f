// A spell record of "wccspel2.dat": 260 bytes; SpellFields describes the first 256.
#pragma once

#include <cstddef>
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

// Each member at its offset in the structure, natural alignment and all; the layout
// lists and the row conversion rely on exactly this order and these widths.
static_assert(sizeof(SpellRecord) == 258);
static_assert(offsetof(SpellRecord, Number) == 0);
static_assert(offsetof(SpellRecord, Name) == 2);
static_assert(offsetof(SpellRecord, Hidden31) == 31);
static_assert(offsetof(SpellRecord, DescA) == 32);
static_assert(offsetof(SpellRecord, Hidden82) == 82);
static_assert(offsetof(SpellRecord, DescB) == 83);
static_assert(offsetof(SpellRecord, Hidden133) == 133);
static_assert(offsetof(SpellRecord, Hidden134) == 134);
static_assert(offsetof(SpellRecord, LevelCap) == 162);
static_assert(offsetof(SpellRecord, Hidden163) == 163);
static_assert(offsetof(SpellRecord, Hidden164) == 164);
static_assert(offsetof(SpellRecord, Hidden166) == 166);
static_assert(offsetof(SpellRecord, AbilityValue) == 168);
static_assert(offsetof(SpellRecord, Energy) == 188);
static_assert(offsetof(SpellRecord, Level) == 190);
static_assert(offsetof(SpellRecord, Min) == 192);
static_assert(offsetof(SpellRecord, Max) == 194);
static_assert(offsetof(SpellRecord, Style) == 196);
static_assert(offsetof(SpellRecord, Hidden198) == 198);
static_assert(offsetof(SpellRecord, Difficulty) == 200);
static_assert(offsetof(SpellRecord, Hidden202) == 202);
static_assert(offsetof(SpellRecord, Target) == 204);
static_assert(offsetof(SpellRecord, Length) == 206);
static_assert(offsetof(SpellRecord, Element) == 208);
static_assert(offsetof(SpellRecord, Hidden210) == 210);
static_assert(offsetof(SpellRecord, Hidden212) == 212);
static_assert(offsetof(SpellRecord, TypeA) == 214);
static_assert(offsetof(SpellRecord, AbilityCode) == 216);
static_assert(offsetof(SpellRecord, CastMsg) == 236);
static_assert(offsetof(SpellRecord, Hidden238) == 238);
static_assert(offsetof(SpellRecord, Mana) == 240);
static_assert(offsetof(SpellRecord, LevelMod) == 242);
static_assert(offsetof(SpellRecord, Increase) == 243);
static_assert(offsetof(SpellRecord, TypeB) == 244);
static_assert(offsetof(SpellRecord, MaxRoll) == 246);
static_assert(offsetof(SpellRecord, Hidden247) == 247);
static_assert(offsetof(SpellRecord, Hidden248) == 248);
static_assert(offsetof(SpellRecord, Hidden249) == 250);
static_assert(offsetof(SpellRecord, ShortName) == 252);

}  // namespace records
