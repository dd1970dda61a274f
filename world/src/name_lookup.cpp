#include "world/name_lookup.h"

#include <wbtrv32/bytes.h>

#include <array>

#include "world/references.h"

namespace world {

std::string NameLookup::nameBoxText(records::TableId table, std::int32_t number) {
    if (number == 0) return {};
    client::File* file = files_.file(table);
    if (!file) return {};
    const auto width = records::tableFile(table).numberWidth;
    std::array<std::uint8_t, 4> key{};
    wbtrv::writeLittleEndian(key.data(), width, static_cast<std::uint32_t>(number));
    const client::Status status = file->find(client::Find::Equal, 0, std::span(key).first(width));
    if (status == B_KEY_VALUE_NOT_FOUND)
        return "(none: " + std::string(recordWord(table)) + " " + std::to_string(number) + ")";
    if (status != B_NO_ERROR) return {};
    const RowField name = titleField(table);
    const auto record = file->record();
    if (record.size() < std::size_t{name.offset} + name.length) return {};
    const auto shown = shownBytes(record.subspan(name.offset, name.length));
    return {shown.begin(), shown.end()};
}

}  // namespace world
