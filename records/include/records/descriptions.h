// The six records' descriptions side by side, the field layout lists they give, and
// the description of a table looked up at run time.
#pragma once

#include <algorithm>

#include "records/record_description.h"
#include "records/tables.h"
#include "records/tarrow_data_fields.h"

namespace records {

// Room enough for the record structure of any table.
inline constexpr std::size_t kLargestRecord =
    std::max({sizeof(RaceRecord), sizeof(ClassRecord), sizeof(SpellRecord), sizeof(MonsterRecord), sizeof(ItemRecord),
              sizeof(MessageRecord)});

// Every table's description, in the order of kTableFiles.
const RecordDescription& recordDescription(TableId table);

}  // namespace records
