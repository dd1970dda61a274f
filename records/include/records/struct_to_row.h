// Packing of the four records the editor saves, each with its own table's list.
// Monster and item records are only ever unpacked.
#pragma once

#include <cstdint>
#include <span>

#include "records/class_record.h"
#include "records/message_record.h"
#include "records/race_record.h"
#include "records/row_conversion.h"
#include "records/spell_record.h"
#include "records/tarrow_data_fields.h"

namespace records {

inline ConversionResult RaceStructToRow(std::span<std::uint8_t> row, const TarrowDataFields& lists,
                                        const RaceRecord& record) {
    return StructToRow(row, lists.RaceFields, record);
}

inline ConversionResult ClassStructToRow(std::span<std::uint8_t> row, const TarrowDataFields& lists,
                                         const ClassRecord& record) {
    return StructToRow(row, lists.ClassFields, record);
}

inline ConversionResult SpellStructToRow(std::span<std::uint8_t> row, const TarrowDataFields& lists,
                                         const SpellRecord& record) {
    return StructToRow(row, lists.SpellFields, record);
}

inline ConversionResult MessageStructToRow(std::span<std::uint8_t> row, const TarrowDataFields& lists,
                                           const MessageRecord& record) {
    return StructToRow(row, lists.MessageFields, record);
}

}  // namespace records
