#include "records/descriptions.h"

#include <algorithm>

namespace records {
namespace {

// A record's layout fits its file's record length.
constexpr bool fitsFile(std::span<const LayoutEntry> layout, TableId table) {
    std::size_t packed = 0;
    for (const LayoutEntry& e : layout) packed += static_cast<std::size_t>(e.Length);
    return packed <= tableFile(table).recordLength;
}

constexpr std::array<RecordDescription, 6> kDescriptions{{
    {kRaceDescription, kFieldLists.RaceFields, sizeof(RaceRecord)},
    {kClassDescription, kFieldLists.ClassFields, sizeof(ClassRecord)},
    {kSpellDescription, kFieldLists.SpellFields, sizeof(SpellRecord)},
    {kMonsterDescription, kFieldLists.MonsterFields, sizeof(MonsterRecord)},
    {kItemDescription, kFieldLists.ItemFields, sizeof(ItemRecord)},
    {kMessageDescription, kFieldLists.MessageFields, sizeof(MessageRecord)},
}};
static_assert(std::ranges::all_of(kTableFiles, [](const TableFile& file) {
    return fitsFile(kDescriptions[static_cast<std::size_t>(file.id)].layout, file.id);
}));

}  // namespace

const RecordDescription& recordDescription(TableId table) { return kDescriptions[static_cast<std::size_t>(table)]; }

}  // namespace records
