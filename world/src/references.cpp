#include "world/references.h"

#include <wbtrv32/bytes.h>

#include <algorithm>
#include <array>

#include "records/row_conversion.h"

namespace world {
namespace {

using records::Field;
using records::TableId;

RowField rowFieldOf(const records::RecordDescription& description, const Field& field, std::size_t element) {
    const auto offset = records::rowOffset(description.layout, field.elementOffset(element));
    return {static_cast<std::uint16_t>(offset.value_or(0)), static_cast<std::uint16_t>(field.width)};
}

const Field* fieldNamed(const records::RecordDescription& description, std::string_view name) {
    const auto found = std::ranges::find(description.fields, name, &Field::name);
    return found == description.fields.end() ? nullptr : &*found;
}

}  // namespace

std::int64_t numberIn(std::span<const std::uint8_t> bytes) {
    if (bytes.size() == 1) return bytes[0];
    const auto u = wbtrv::readLittleEndian(bytes.data(), bytes.size());
    return bytes.size() == 2 ? std::int64_t{static_cast<std::int16_t>(u)} : std::int64_t{static_cast<std::int32_t>(u)};
}

std::span<const std::uint8_t> shownBytes(std::span<const std::uint8_t> field) {
    return field.first(static_cast<std::size_t>(std::ranges::find(field, 0) - field.begin()));
}

std::string ReferringElement::label() const {
    std::string text(field->name);
    if (field->count > 1) text += std::string(" ") + static_cast<char>('A' + element);
    return text;
}

bool ReferringElement::canHold(std::int64_t number) const {
    if (at.length == 1) return number >= 0 && number <= 0xFF;
    if (at.length == 2) return number >= INT16_MIN && number <= INT16_MAX;
    return number >= INT32_MIN && number <= INT32_MAX;
}

std::optional<std::int32_t> ReferringElement::named(const Extracted& record) const {
    if (conditionAt) {
        const auto code = record.at(conditionAt->offset, conditionAt->length);
        if (code.empty() || numberIn(code) != whenCode) return std::nullopt;
    }
    const auto bytes = record.at(at.offset, at.length);
    if (bytes.empty()) return std::nullopt;
    const auto number = static_cast<std::int32_t>(numberIn(bytes));
    if (number == 0) return std::nullopt;
    return number;
}

std::vector<ReferringElement> referringElements(TableId from) {
    const auto& description = records::recordDescription(from);
    std::vector<ReferringElement> elements;
    for (const Field& field : description.fields) {
        if (!field.names.exists()) continue;
        const Field* condition = field.names.when.empty() ? nullptr : fieldNamed(description, field.names.when);
        for (std::size_t k = 0; k < field.count; ++k) {
            ReferringElement e{
                &field, k, *field.names.table, rowFieldOf(description, field, k), std::nullopt, field.names.whenCode};
            if (condition) e.conditionAt = rowFieldOf(description, *condition, k);
            elements.push_back(e);
        }
    }
    return elements;
}

bool namedByOthers(TableId table) {
    return std::ranges::any_of(records::kTableFiles, [&](const records::TableFile& from) {
        return std::ranges::any_of(referringElements(from.id),
                                   [&](const ReferringElement& e) { return e.target == table; });
    });
}

std::string_view recordWord(TableId table) {
    static constexpr std::array<std::string_view, 6> words{"race", "class", "spell", "monster", "item", "message"};
    return words[static_cast<std::size_t>(table)];
}

RowField numberField(TableId table) {
    const auto& description = records::recordDescription(table);
    return rowFieldOf(description, *description.number, 0);
}

RowField titleField(TableId table) {
    const auto& description = records::recordDescription(table);
    if (description.name) return rowFieldOf(description, *description.name, 0);
    const auto text = std::ranges::find(description.fields, records::FieldKind::Text, &Field::kind);
    return rowFieldOf(description, *text, 0);
}

}  // namespace world
