// The six records' descriptions side by side, the field layout lists they give, and
// the description of a table looked up at run time.
#pragma once

#include "records/class_record.h"
#include "records/item_record.h"
#include "records/message_record.h"
#include "records/monster_record.h"
#include "records/race_record.h"
#include "records/record_description.h"
#include "records/spell_record.h"
#include "records/tables.h"

namespace records {

inline constexpr auto kRaceLayout = layoutOf<elementCount(kRaceDescription)>(kRaceDescription);
inline constexpr auto kClassLayout = layoutOf<elementCount(kClassDescription)>(kClassDescription);
inline constexpr auto kSpellLayout = layoutOf<elementCount(kSpellDescription)>(kSpellDescription);
inline constexpr auto kMonsterLayout = layoutOf<elementCount(kMonsterDescription)>(kMonsterDescription);
inline constexpr auto kItemLayout = layoutOf<elementCount(kItemDescription)>(kItemDescription);
inline constexpr auto kMessageLayout = layoutOf<elementCount(kMessageDescription)>(kMessageDescription);

// Every table's description, in the order of kTableFiles.
const RecordDescription& recordDescription(TableId table);

}  // namespace records
