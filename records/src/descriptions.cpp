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

// A record's description with its number and name fields found; every record has a number.
template <std::size_t N>
consteval RecordDescription described(const std::array<Field, N>& fields, std::span<const LayoutEntry> layout,
                                      std::size_t structSize) {
    const auto named = [&](std::string_view name) -> const Field* {
        const auto found = std::ranges::find(fields, name, &Field::name);
        return found == fields.end() ? nullptr : &*found;
    };
    if (std::ranges::find(fields, "Number", &Field::name) == fields.end()) throw "a record without a number";
    return {fields, layout, structSize, named("Number"), named("Name")};
}

constexpr std::array<RecordDescription, 6> kDescriptions{{
    described(kRaceDescription, kFieldLists.RaceFields, sizeof(RaceRecord)),
    described(kClassDescription, kFieldLists.ClassFields, sizeof(ClassRecord)),
    described(kSpellDescription, kFieldLists.SpellFields, sizeof(SpellRecord)),
    described(kMonsterDescription, kFieldLists.MonsterFields, sizeof(MonsterRecord)),
    described(kItemDescription, kFieldLists.ItemFields, sizeof(ItemRecord)),
    described(kMessageDescription, kFieldLists.MessageFields, sizeof(MessageRecord)),
}};
static_assert(std::ranges::all_of(kTableFiles, [](const TableFile& file) {
    return fitsFile(kDescriptions[static_cast<std::size_t>(file.id)].layout, file.id);
}));

}  // namespace

const RecordDescription& recordDescription(TableId table) { return kDescriptions[static_cast<std::size_t>(table)]; }

}  // namespace records
