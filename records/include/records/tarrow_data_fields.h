// The six tables' field layout lists, filled from the records' descriptions. The lists
// are known when the program is compiled, so they are built then, once: kFieldLists.
#pragma once

#include "records/class_record.h"
#include "records/item_record.h"
#include "records/layout.h"
#include "records/message_record.h"
#include "records/monster_record.h"
#include "records/race_record.h"
#include "records/spell_record.h"

namespace records {

using RaceFieldList = FieldList<50>;
using ClassFieldList = FieldList<41>;
using SpellFieldList = FieldList<101>;
using MonsterFieldList = FieldList<211>;
using ItemFieldList = FieldList<51>;
using MessageFieldList = FieldList<16>;

// Every table's list; entries after the last one set stay (0, 0) and stand for no field.
struct TarrowDataFields {
    RaceFieldList RaceFields{};
    ClassFieldList ClassFields{};
    SpellFieldList SpellFields{};
    MonsterFieldList MonsterFields{};
    ItemFieldList ItemFields{};
    MessageFieldList MessageFields{};
};

// Fills a list from its first entry on with the entries its record's description gives.
template <const auto& Description, std::size_t Capacity>
constexpr void fillFromDescription(FieldList<Capacity>& list) {
    static_assert(elementCount(Description) <= Capacity, "the list is too small for its record");
    const auto entries = layoutOf<elementCount(Description)>(Description);
    for (std::size_t i = 0; i < entries.size(); ++i) SetField(list[i], entries[i].Type, entries[i].Length);
}

// Builds the six lists in the order races, classes, spells, monsters, items, messages.
constexpr TarrowDataFields BuildFieldLists() {
    TarrowDataFields lists;
    fillFromDescription<kRaceDescription>(lists.RaceFields);
    fillFromDescription<kClassDescription>(lists.ClassFields);
    fillFromDescription<kSpellDescription>(lists.SpellFields);
    fillFromDescription<kMonsterDescription>(lists.MonsterFields);
    fillFromDescription<kItemDescription>(lists.ItemFields);
    fillFromDescription<kMessageDescription>(lists.MessageFields);
    return lists;
}

inline constexpr TarrowDataFields kFieldLists = BuildFieldLists();

}  // namespace records
