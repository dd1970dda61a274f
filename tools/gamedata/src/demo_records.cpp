// Packs the demo world's record structures into rows: hidden members and the
// bytes after the fields get non-zero noise; with a record count, the world's
// records are repeated as numbered variations.
#include <algorithm>
#include <cstring>
#include <string>

#include "demo_records.h"
#include "gamedata/demo_world.h"
#include "noise.h"
#include "records/descriptions.h"
#include "records/row_conversion.h"

namespace gamedata {
namespace {

using Rows = std::vector<std::vector<std::uint8_t>>;

// The n-th repetition of a named record: its name followed by " n", still ending
// in a zero byte and blanks.
template <std::size_t N>
void nameVariation(char (&name)[N], std::size_t repetition) {
    const std::string suffix = " " + std::to_string(repetition + 1);
    const std::size_t shown = std::find(name, name + N, '\0') - name;
    const std::size_t keep = std::min(shown, N - 1 - suffix.size());
    std::string text(name, keep);
    text += suffix;
    text.push_back('\0');
    text.resize(N, ' ');
    std::memcpy(name, text.data(), N);
}

template <class Record>
Rows packRows(records::TableId table, const std::vector<Record>& world, const DemoOptions& options) {
    const records::RecordDescription& description = records::recordDescription(table);
    const std::uint32_t length = records::tableFile(table).recordLength;
    const std::size_t packed = records::packedLength(description.layout);
    const std::size_t highest = records::tableFile(table).numberWidth == 2 ? kMaxShortNumber : kMaxDemoRecords;
    const std::size_t count =
        options.recordsPerTable ? std::min<std::size_t>(*options.recordsPerTable, highest) : world.size();
    Rows rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        Record r = world[i % world.size()];
        if (options.recordsPerTable) {
            r.Number = static_cast<decltype(r.Number)>(i + 1);
            if constexpr (requires { r.Name; })
                if (i >= world.size()) nameVariation(r.Name, i / world.size());
        }
        detail::Noise noise((static_cast<std::uint64_t>(table) + 1) << 40 | i);
        detail::fillHiddenMembers(description.fields, &r, noise);
        std::vector<std::uint8_t> row(length);
        records::StructToRow(row, description.layout, r);
        detail::fillNonZero(std::span(row).subspan(packed), noise);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> demoRecords(records::TableId table, const DemoOptions& options) {
    using records::TableId;
    switch (table) {
        case TableId::Races:
            return packRows(table, detail::worldRaces(), options);
        case TableId::Classes:
            return packRows(table, detail::worldClasses(), options);
        case TableId::Spells:
            return packRows(table, detail::worldSpells(), options);
        case TableId::Monsters:
            return packRows(table, detail::worldMonsters(), options);
        case TableId::Items:
            return packRows(table, detail::worldItems(), options);
        case TableId::Messages:
            return packRows(table, detail::worldMessages(), options);
    }
    return {};
}

}  // namespace gamedata
