#include "records/tarrow_data_fields.h"

#include <initializer_list>

namespace records {
namespace {

// A run of identical entries: count times (type, length).
struct Run {
    std::int32_t type;
    std::int32_t length;
    int count = 1;
};

constexpr Run Text(std::int32_t length, int count = 1) { return {TextField, length, count}; }
constexpr Run Int16(int count = 1) { return {IntegerField, 2, count}; }
constexpr Run Int32(int count = 1) { return {IntegerField, 4, count}; }
constexpr Run Byte(int count = 1) { return {ByteField, 1, count}; }

bool AddRuns(std::span<LayoutEntry> list, std::int16_t& index, std::initializer_list<Run> runs) {
    for (const Run& run : runs)
        for (int i = 0; i < run.count; ++i)
            if (!AddField(list, index, run.type, run.length)) return false;
    return true;
}

}  // namespace

bool BuildRaceFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return AddRuns(list, index, {Int16(), Text(29), Byte(), Int16(47)});
}

bool BuildClassFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return AddRuns(list, index, {Int16(), Text(29), Byte(), Int16(35)});
}

bool BuildSpellFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return AddRuns(list, index,
                   {Int16(), Text(29), Byte(), Text(50), Byte(), Text(50), Byte(), Int16(14), Byte(2), Int16(39),
                    Byte(2), Int16(), Byte(3), Int16(), Text(5)});
}

bool BuildMonsterFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return AddRuns(list, index, {Int32(),   Text(29), Byte(),  Int16(30), Byte(2),  Int16(25), Byte(6),
                                 Int16(10), Text(69), Int16(), Text(69),  Int16(),  Text(69),  Int16(),
                                 Text(69),  Int16(),  Byte(2), Int16(7),  Byte(22), Int16(70), Byte(10)});
}

bool BuildItemFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return AddRuns(list, index, {Int32(), Text(29), Byte()});
}

bool BuildMessageFields(std::span<LayoutEntry> list, std::int16_t& index) {
    return AddRuns(list, index, {Int16(2), Text(74), Int16(4), Text(74), Int16(4), Text(74)});
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
