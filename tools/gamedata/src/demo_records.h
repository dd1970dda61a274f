// The default demo world as record structures, one list per table. Hidden
// members are left zero here: demoRecords fills them (and the bytes after the
// fields) with non-zero noise when it packs the rows.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "records/class_record.h"
#include "records/item_record.h"
#include "records/message_record.h"
#include "records/monster_record.h"
#include "records/race_record.h"
#include "records/spell_record.h"

namespace gamedata::detail {

// One ability slot of a seed: code and value.
struct Slot {
    std::int16_t code = 0;
    std::int16_t value = 0;
};

template <std::size_t N>
void putSlots(std::int16_t (&codes)[N], std::int16_t (&values)[N], const std::array<Slot, N>& slots) {
    for (std::size_t i = 0; i < N; ++i) {
        codes[i] = slots[i].code;
        values[i] = slots[i].value;
    }
}

std::vector<records::RaceRecord> worldRaces();
std::vector<records::ClassRecord> worldClasses();
std::vector<records::SpellRecord> worldSpells();
std::vector<records::MonsterRecord> worldMonsters();
std::vector<records::ItemRecord> worldItems();
std::vector<records::MessageRecord> worldMessages();

}  // namespace gamedata::detail
