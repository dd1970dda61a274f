// The six layout lists: capacities, entries set, packed and record lengths.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "records/layout.h"
#include "records/tables.h"
#include "records/tarrow_data_fields.h"

namespace records {
namespace {

const TarrowDataFields& lists() {
    static const TarrowDataFields built = BuildFieldLists();
    return built;
}

using Builder = bool (*)(std::span<LayoutEntry>, std::int16_t&);

struct ListCase {
    const char* name;
    std::span<const LayoutEntry> list;
    Builder builder;
    TableId table;
    std::size_t capacity;
    std::size_t entriesSet;
    std::size_t packedLength;
    std::size_t recordLength;
};

std::vector<ListCase> listCases() {
    const TarrowDataFields& l = lists();
    return {
        {"races", l.RaceFields, BuildRaceFields, TableId::Races, 50, 50, 126, 126},
        {"classes", l.ClassFields, BuildClassFields, TableId::Classes, 41, 38, 102, 156},
        {"spells", l.SpellFields, BuildSpellFields, TableId::Spells, 101, 70, 256, 260},
        {"monsters", l.MonsterFields, BuildMonsterFields, TableId::Monsters, 211, 195, 644, 696},
        {"items", l.ItemFields, BuildItemFields, TableId::Items, 51, 3, 34, 1032},
        {"messages", l.MessageFields, BuildMessageFields, TableId::Messages, 16, 13, 242, 256},
    };
}

// Each builder fills exactly its entries, advancing the fill index past them, and
// stops at the end of a list too small for it.
TEST(FieldLists, CapacityEntriesSetAndLengths) {
    for (const ListCase& c : listCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.list.size(), c.capacity);
        for (std::size_t i = 0; i < c.list.size(); ++i) {
            if (i < c.entriesSet) {
                EXPECT_GT(c.list[i].Length, 0) << i;
            } else {
                EXPECT_EQ(std::make_pair(c.list[i].Type, c.list[i].Length), std::make_pair(0, 0)) << i;
            }
        }
        EXPECT_EQ(PackedLength(c.list), c.packedLength);
        EXPECT_EQ(tableFile(c.table).recordLength, c.recordLength);
        EXPECT_LE(c.packedLength, c.recordLength);

        std::vector<LayoutEntry> fresh(c.capacity);
        std::int16_t index = 0;
        EXPECT_TRUE(c.builder(fresh, index));
        EXPECT_EQ(static_cast<std::size_t>(index), c.entriesSet);
        std::vector<LayoutEntry> tooSmall(c.entriesSet - 1);
        index = 0;
        EXPECT_FALSE(c.builder(tooSmall, index));
        EXPECT_EQ(static_cast<std::size_t>(index), c.entriesSet - 1);
    }
}

TEST(FieldLists, AddFieldRefusesAnIndexOutsideTheCapacity) {
    struct Case {
        std::int16_t index;
        bool accepted;
    };
    for (const Case c : {Case{0, true}, Case{2, true}, Case{3, false}, Case{100, false}, Case{-1, false}}) {
        SCOPED_TRACE(c.index);
        std::vector<LayoutEntry> list(3);
        std::int16_t index = c.index;
        EXPECT_EQ(AddField(list, index, IntegerField, 2), c.accepted);
        EXPECT_EQ(index, c.accepted ? c.index + 1 : c.index);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const bool filled = c.accepted && static_cast<std::int16_t>(i) == c.index;
            EXPECT_EQ(list[i].Type, filled ? IntegerField : 0);
            EXPECT_EQ(list[i].Length, filled ? 2 : 0);
        }
    }
}

}  // namespace
}  // namespace records
