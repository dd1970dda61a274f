// The ability code table: 180 names for the codes 0 to 179, one table per record kind.
#pragma once

#include <cstdint>

#include "records/code_table.h"

namespace abilities {

enum class AbilityKind { Race, Class, Spell, Monster };

inline constexpr int kAbilityRows = 180;
inline constexpr std::int16_t kUnknownCode = 179;

// The kind's table: row i is the name of code i, and every code from 179 up is
// "Unknown". Negative codes have no name. Its codeFromText keeps a slot's stored
// code when the text is the stored code's own name ("Illu", "ClassStealth",
// "Unknown" are shared) and otherwise takes the lowest code with that name.
const records::CodeTable& abilityTable(AbilityKind kind);

}  // namespace abilities
