// What the dump and the demo world need of a game table besides its record
// description: the table a data file holds, and the ability kind of its slots.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "abilities/ability_table.h"
#include "records/descriptions.h"

namespace gamedata::detail {

// The table of a data file, by base name (letter case ignored) and record length.
std::optional<records::TableId> tableOfFile(std::string_view fileName, std::uint32_t recordLength);

// The ability kind of a table's slots; none for items and messages.
std::optional<abilities::AbilityKind> abilityKindOf(records::TableId table);

// A field of the dump: a field of the description, or "Abilities", the ability slots
// (codes and values) as one list where the first of the two lies in the record.
struct JsonField {
    std::string_view name;
    const records::Field* field;
    const records::Field* values = nullptr;  // the slots' values; ability slots only
};

std::vector<JsonField> jsonFields(std::span<const records::Field> fields);

}  // namespace gamedata::detail
