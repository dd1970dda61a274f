#include "records/tarrow_data_fields.h"

#include "records/descriptions.h"

namespace records {
namespace {

// Appends the entries of a record's description, one AddField call each.
bool addEntries(std::span<LayoutEntry> list, std::int16_t& index, std::span<const LayoutEntry> entries) {
    for (const LayoutEntry& e : entries)
        if (!AddField(list, index, e.Type, e.Length)) return false;
    return true;
}

}  // namespace

bool BuildRaceFields(std::span<LayoutEntry> list, std::int16_t& index) { return addEntries(list, index, kRaceLayout); }
bool BuildClassFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return addEntries(list, index, kClassLayout);
}
bool BuildSpellFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return addEntries(list, index, kSpellLayout);
}
bool BuildMonsterFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return addEntries(list, index, kMonsterLayout);
}
bool BuildItemFields(std::span<LayoutEntry> list, std::int16_t& index) { return addEntries(list, index, kItemLayout); }
bool BuildMessageFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return addEntries(list, index, kMessageLayout);
}

TarrowDataFields BuildFieldLists() {
    TarrowDataFields lists;
    std::int16_t index = 0;
    BuildRaceFields(lists.RaceFields, index);
    index = 0;
    BuildClassFields(lists.ClassFields, index);
    index = 0;
    BuildSpellFields(lists.SpellFields, index);
    index = 0;
    BuildMonsterFields(lists.MonsterFields, index);
    index = 0;
    BuildItemFields(lists.ItemFields, index);
    index = 0;
    BuildMessageFields(lists.MessageFields, index);
    return lists;
}

}  // namespace records
