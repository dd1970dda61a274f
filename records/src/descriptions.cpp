#include "records/descriptions.h"

namespace records {
namespace {

// A record's layout fits its file's record length.
template <std::size_t N>
constexpr bool fitsFile(const std::array<LayoutEntry, N>& layout, TableId table) {
    std::size_t packed = 0;
    for (const LayoutEntry& e : layout) packed += static_cast<std::size_t>(e.Length);
    return packed <= tableFile(table).recordLength;
}
static_assert(fitsFile(kRaceLayout, TableId::Races) && fitsFile(kClassLayout, TableId::Classes) &&
              fitsFile(kSpellLayout, TableId::Spells) && fitsFile(kMonsterLayout, TableId::Monsters) &&
              fitsFile(kItemLayout, TableId::Items) && fitsFile(kMessageLayout, TableId::Messages));

constexpr std::array<RecordDescription, 6> kDescriptions{{
    {kRaceDescription, kRaceLayout, sizeof(RaceRecord)},
    {kClassDescription, kClassLayout, sizeof(ClassRecord)},
    {kSpellDescription, kSpellLayout, sizeof(SpellRecord)},
    {kMonsterDescription, kMonsterLayout, sizeof(MonsterRecord)},
    {kItemDescription, kItemLayout, sizeof(ItemRecord)},
    {kMessageDescription, kMessageLayout, sizeof(MessageRecord)},
}};

}  // namespace

const RecordDescription& recordDescription(TableId table) { return kDescriptions[static_cast<std::size_t>(table)]; }

}  // namespace records
