#include "records/layout.h"

#include "records/tarrow_data_fields.h"

namespace records {

void SetField(LayoutEntry& entry, std::int32_t type, std::int32_t length) {
    entry.Type = type;
    entry.Length = length;
}

std::size_t packedLength(std::span<const LayoutEntry> list) {
    std::size_t total = 0;
    for (const LayoutEntry& entry : list) total += static_cast<std::size_t>(entry.Length > 0 ? entry.Length : 0);
    return total;
}

bool AddField(std::span<LayoutEntry> list, std::int16_t& index, std::int32_t type, std::int32_t length) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return false;
    SetField(list[static_cast<std::size_t>(index)], type, length);
    ++index;
    return true;
}

}  // namespace records
