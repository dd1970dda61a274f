// A spell record of "wccspel2.dat": 260 bytes; SpellFields describes the first 256.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/record_description.h"
#include "records/word_tables.h"

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

// Groups: 0 the left column, 1 the right column, 2 below them, 3 the ability slots.
// Read and shown in the order of the turns; every number is read as a number
// (fractions rounded half to even).
#define AT(member) RECORD_FIELD(SpellRecord, member)
namespace spell {
using namespace description;
constexpr int kDigits = 5;
constexpr Box box(std::string_view name, std::string_view caption, int group, int row, int turn, int column = 1,
                  int typingLimit = kDigits) {
    return {.name = name,
            .caption = caption,
            .group = group,
            .row = row,
            .column = column,
            .typingLimit = typingLimit,
            .reading = Reading::Decimal,
            .turn = turn,
            .labelled = column == 1};
}
constexpr Box description(std::string_view name, int row, int turn) {
    return {.name = name,
            .caption = "Desc",
            .group = 2,
            .row = row,
            .typingLimit = 50,
            .reading = Reading::NameRuleIfChanged,
            .turn = turn,
            .labelled = row == 0,
            .wide = true};
}
constexpr Box word(std::string_view name, std::string_view caption, int group, int row, int turn) {
    return {.name = name, .caption = caption, .group = group, .row = row, .turn = turn, .labelled = true};
}
}  // namespace spell

inline constexpr std::array kSpellDescription{
    spell::number(AT(Number), 2,
                  [] {
                      Box b = description::numberBox("txtSpellNumber", 4, Reading::Decimal);
                      b.group = 2;
                      return b;
                  }()),
    spell::text(AT(Name), 29, description::nameBox("txtSpellName", Reading::NameRule)),
    spell::hidden(AT(Hidden31), 1),
    spell::text(AT(DescA), 50, spell::description("txtSpellDescA", 0, 2)),
    spell::hidden(AT(Hidden82), 1),
    spell::text(AT(DescB), 50, spell::description("txtSpellDescB", 1, 3)),
    spell::hidden(AT(Hidden133), 1),
    spell::hidden(AT(Hidden134), 2, 14),
    spell::number(AT(LevelCap), 1, spell::box("txtSpellLevelCap", "Lvl Cap", 1, 5, 8)),
    spell::hidden(AT(Hidden163), 1),
    spell::hidden(AT(Hidden164), 2),
    spell::hidden(AT(Hidden166), 2),
    spell::abilityValues(
        offsetof(SpellRecord, AbilityValue), 10,
        {.name = "txtSpellabilb", .group = 3, .typingLimit = 4, .reading = Reading::Decimal, .turn = 17}),
    spell::number(AT(Energy), 2, spell::box("txtSpellEnergy", "Energy", 0, 6, 4)),
    spell::number(AT(Level), 2, spell::box("txtSpellLevel", "Level", 0, 2, 5)),
    spell::number(AT(Min), 2, spell::box("txtSpellMin", "Min", 1, 3, 6)),
    spell::number(AT(Max), 2, spell::box("txtSpellMax", "Max", 1, 4, 7)),
    spell::coded(AT(Style), 2, spellStyleTable, spell::word("txtSpellStyle", "Style", 1, 0, 18)),
    spell::hidden(AT(Hidden198), 2),
    spell::number(AT(Difficulty), 2, spell::box("txtSpellDifficulty", "Difficulty", 0, 5, 10)),
    spell::hidden(AT(Hidden202), 2),
    spell::coded(AT(Target), 2, spellTargetTable, spell::word("txtSpellTarget", "Target", 0, 8, 19)),
    spell::number(AT(Length), 2, spell::box("txtSpellLength", "Length", 0, 4, 15)),
    spell::coded(AT(Element), 2, spellElementTable, spell::word("txtSpellElement", "Element", 1, 1, 20)),
    spell::hidden(AT(Hidden210), 2),
    spell::hidden(AT(Hidden212), 2),
    spell::coded(AT(TypeA), 2, spellMagicTypeTable, spell::word("txtSpellTypeA", "Type", 1, 2, 21)),
    spell::abilityCodes(offsetof(SpellRecord, AbilityCode), 10, {.name = "txtSpellabila", .group = 3, .column = 0}),
    spell::number(AT(CastMsg), 2, spell::box("txtSpellCastMsg", "Cast Msg", 0, 7, 9)),
    spell::hidden(AT(Hidden238), 2),
    spell::number(AT(Mana), 2, spell::box("txtSpellMana", "Mana", 0, 3, 11)),
    spell::number(AT(LevelMod), 1, spell::box("txtSpellLevelMod", "Lvl Mod", 1, 6, 12)),
    spell::number(AT(Increase), 1, spell::box("txtSpellIncrease", "Increase", 1, 7, 13)),
    spell::number(AT(TypeB), 2, spell::box("txtSpellTypeB", "Type", 1, 2, 16, 2, 3)),
    spell::number(AT(MaxRoll), 1),  // shown by the check box "Max Roll"
    spell::hidden(AT(Hidden247), 1),
    spell::hidden(AT(Hidden248), 1),
    spell::hidden(AT(Hidden249), 2),
    spell::text(AT(ShortName), 5,
                {.name = "txtSpellShortName",
                 .caption = "Short Name",
                 .row = 1,
                 .typingLimit = 5,
                 .reading = Reading::BlankFilled,
                 .turn = 14,
                 .labelled = true}),
};
#undef AT

static_assert(tilesStructure<elementCount(kSpellDescription)>(kSpellDescription, sizeof(SpellRecord),
                                                              alignof(SpellRecord)));
static_assert(boxesDistinct(kSpellDescription));

}  // namespace records
