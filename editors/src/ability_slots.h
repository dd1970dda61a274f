// The ability slots of a tab: a column of drop-down boxes for the codes, shown and
// saved through the kind's ability code table, beside the boxes of the values.
#pragma once

#include <QComboBox>
#include <cstdint>
#include <span>
#include <vector>

#include "abilities/ability_table.h"
#include "box_field.h"
#include "records/class_record.h"
#include "records/monster_record.h"
#include "records/race_record.h"
#include "records/spell_record.h"

namespace editors {

using AbilityBoxes = std::span<QComboBox* const>;

// The code boxes prefix_0 ... prefix_(count-1), all offering the kind's 180 names
// from one list, each showing "None".
std::vector<QComboBox*> makeAbilityBoxes(QWidget& page, abilities::AbilityKind kind, const QString& prefix, int count);

// Sets every code box from its code: the code's name, or its decimal number when it has none.
void showAbilityCodes(abilities::AbilityKind kind, AbilityBoxes boxes, std::span<const std::int16_t> codes);

// Reads every code box back: a name of the table (or the stored code's own text) gives
// its code, any other text keeps the stored code.
void saveAbilityCodes(abilities::AbilityKind kind, AbilityBoxes boxes, std::span<std::int16_t> codes);

void GetRaceAbilA(AbilityBoxes boxes, const records::RaceRecord& race);
void SaveRaceAbilA(AbilityBoxes boxes, records::RaceRecord& race);
void GetClassAbilA(AbilityBoxes boxes, const records::ClassRecord& cls);
void SaveClassAbilA(AbilityBoxes boxes, records::ClassRecord& cls);
void GetSpellAbilA(AbilityBoxes boxes, const records::SpellRecord& spell);
void SaveSpellAbilA(AbilityBoxes boxes, records::SpellRecord& spell);
void GetMonsterAbilA(AbilityBoxes boxes, const records::MonsterRecord& monster);

}  // namespace editors
