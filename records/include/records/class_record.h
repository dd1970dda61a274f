// A class record of "wccclas2.dat": 156 bytes; ClassFields describes the first 102.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/record_description.h"
#include "records/word_tables.h"

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

// Read and shown in the order of the turns: number, name, the hit points, "Exp %", the
// magic level, "Combat", the ability values, the title, then the words.
#define AT(member) RECORD_FIELD(ClassRecord, member)
namespace klass {
using namespace description;
constexpr int kDigits = 3;
constexpr Box box(std::string_view name, std::string_view caption, int row, int column, int turn) {
    return gridBox(name, caption, row, column, kDigits, turn);
}
// A box read as a number (fractions rounded half to even) after taking the shift back.
constexpr Box shifted(Box box, int shift, std::string_view addedBox = {}) {
    box.reading = Reading::Decimal;
    box.shownShift = shift;
    box.addedBox = addedBox;
    return box;
}
constexpr Box word(std::string_view name, std::string_view caption, int row, int turn) {
    return {.name = name, .caption = caption, .row = row, .turn = turn, .labelled = true};
}
}  // namespace klass

inline constexpr std::array kClassDescription{
    klass::number(AT(Number), 2, description::numberBox("txtClassNumber", 8, Reading::Whole)),
    klass::text(AT(Name), 29, description::nameBox("txtClassName", Reading::NameRule)),
    klass::hidden(AT(Hidden31), 1),
    klass::number(AT(MinHP), 2, klass::box("txtClassMinHP", "HP", 2, 1, 2)),
    klass::number(AT(HPRange), 2, klass::shifted(klass::box("txtClassMaxHp", "HP", 2, 3, 3), 0, "txtClassMinHP")),
    klass::number(AT(Exp), 2, klass::shifted(klass::box("txtClassExp", "Exp %", 1, 1, 4), 100)),
    klass::hidden(AT(Hidden38), 2),
    klass::hidden(AT(Hidden40), 2),
    klass::hidden(AT(Hidden42), 2),
    klass::abilityCodes(offsetof(ClassRecord, AbilityCode), 10, {.name = "txtClassabila", .group = 1, .column = 0}),
    klass::coded(AT(MagicType), 2, classMagicTypeTable, klass::word("txtClassMagicType", "Magic", 6, 9)),
    klass::number(AT(MagicLevel), 2, klass::box("txtClassMagicLvl", "Magic", 6, 2, 5)),
    klass::coded(AT(Weapon), 2, classWeaponTable, klass::word("txtClassWeapon", "Weapons", 4, 10)),
    klass::coded(AT(Armour), 2, classArmourTable, klass::word("txtClassArmour", "Armour", 3, 11)),
    klass::number(AT(Combat), 2, klass::shifted(klass::box("txtClassCombat", "Combat", 5, 1, 6), -2)),
    klass::abilityValues(offsetof(ClassRecord, AbilityValue), 10,
                         {.name = "txtClassabilb", .group = 1, .typingLimit = klass::kDigits, .turn = 7}),
    klass::hidden(AT(Hidden94), 2),
    klass::hidden(AT(Hidden96), 2),
    klass::hidden(AT(Hidden98), 2),
    klass::number(
        AT(Title), 2,
        {.name = "txtClassTitle", .caption = "Title Text", .row = 7, .typingLimit = 4, .turn = 8, .labelled = true}),
};
#undef AT

static_assert(tilesStructure<elementCount(kClassDescription)>(kClassDescription, sizeof(ClassRecord),
                                                              alignof(ClassRecord)));
static_assert(boxesDistinct(kClassDescription));

}  // namespace records
