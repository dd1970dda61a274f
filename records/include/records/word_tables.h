// The word tables of the class, spell and monster coded fields.
#pragma once

#include "records/code_table.h"

namespace records {

const CodeTable& classMagicTypeTable();
const CodeTable& classWeaponTable();
const CodeTable& classArmourTable();

const CodeTable& spellStyleTable();
const CodeTable& spellTargetTable();  // codes from 15 up are all "Unknown"
const CodeTable& spellElementTable();
const CodeTable& spellMagicTypeTable();

const CodeTable& monsterTypeTable();
const CodeTable& monsterUndeadTable();
const CodeTable& monsterGenderTable();
const CodeTable& monsterAlignmentTable();
const CodeTable& monsterAttackTypeTable();

}  // namespace records
