// The six data files of the game, in start-up order.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace records {

enum class TableId { Races, Classes, Spells, Monsters, Items, Messages };

struct TableFile {
    TableId id;
    std::string_view fileName;   // looked for in the current folder
    std::uint32_t recordLength;  // also the data length of every call on the file
    std::uint32_t numberWidth;   // bytes of the record number, the file's key 0
};

inline constexpr std::array<TableFile, 6> kTableFiles{{
    {TableId::Races, "wccrace2.dat", 126, 2},
    {TableId::Classes, "wccclas2.dat", 156, 2},
    {TableId::Spells, "wccspel2.dat", 260, 2},
    {TableId::Monsters, "wccknms2.dat", 696, 4},
    {TableId::Items, "wccitem2.dat", 1032, 4},
    {TableId::Messages, "wccmsg2.dat", 256, 2},
}};

constexpr const TableFile& tableFile(TableId id) { return kTableFiles[static_cast<std::size_t>(id)]; }

}  // namespace records
