// The six tables' field layout lists and the builders that fill them.
#pragma once

#include "records/layout.h"

namespace records {

using RaceFieldList = FieldList<50>;
using ClassFieldList = FieldList<41>;
using SpellFieldList = FieldList<101>;
using MonsterFieldList = FieldList<211>;
using ItemFieldList = FieldList<51>;
using MessageFieldList = FieldList<16>;

// Every table's list, built once at start-up and read-only afterwards.
struct TarrowDataFields {
    RaceFieldList RaceFields{};
    ClassFieldList ClassFields{};
    SpellFieldList SpellFields{};
    MonsterFieldList MonsterFields{};
    ItemFieldList ItemFields{};
    MessageFieldList MessageFields{};
};

// Sets the entry at index and advances the index. Refuses (returns false, changes
// nothing) when the index lies outside the list's capacity.
bool AddField(std::span<LayoutEntry> list, std::int16_t& index, std::int32_t type, std::int32_t length);

// Each builder appends its table's entries from index on; false if the list ran out of room.
bool BuildRaceFields(std::span<LayoutEntry> list, std::int16_t& index);
bool BuildClassFields(std::span<LayoutEntry> list, std::int16_t& index);
bool BuildSpellFields(std::span<LayoutEntry> list, std::int16_t& index);
bool BuildMonsterFields(std::span<LayoutEntry> list, std::int16_t& index);
bool BuildItemFields(std::span<LayoutEntry> list, std::int16_t& index);
bool BuildMessageFields(std::span<LayoutEntry> list, std::int16_t& index);

// Builds the six lists in the order races, classes, spells, monsters, items, messages.
TarrowDataFields BuildFieldLists();

}  // namespace records
