#include "world/world_check.h"

#include <wbtrv32/bytes.h>

#include <algorithm>

#include "abilities/ability_table.h"
#include "records/row_conversion.h"

namespace world {
namespace {

using records::Field;
using records::FieldKind;
using records::TableId;

constexpr std::uint16_t kRecordsPerBatch = 500;

std::size_t index(TableId table) { return static_cast<std::size_t>(table); }

// The usual end of a text: a zero byte and blanks (or the zero bytes of a field
// never written) after it; a field filled with blanks alone (the spell's short
// name) has no zero byte at all.
std::optional<std::string> unusualEnd(const Field& field, std::span<const std::uint8_t> bytes) {
    const auto zero = std::ranges::find(bytes, 0);
    if (zero == bytes.end())
        return field.box.reading == records::Reading::BlankFilled ? std::nullopt
                                                                  : std::optional<std::string>("no zero byte");
    if (std::all_of(zero + 1, bytes.end(), [](std::uint8_t b) { return b == ' ' || b == 0; })) return std::nullopt;
    return "bytes other than blanks after the zero byte";
}

std::string elementLabel(const Field& field, std::size_t k) {
    if (field.count == 1) return std::string(field.name);
    if (field.box.lettered) return std::string(field.name) + " " + static_cast<char>('A' + k);
    return std::string(field.name) + " " + std::to_string(k);
}

}  // namespace

WorldCheck::WorldCheck(ReadFiles& files) : files_(files) {
    // The tables others name first, then the rest, each in file order.
    std::size_t n = 0;
    for (const bool named : {true, false})
        for (const records::TableFile& table : records::kTableFiles) {
            bool isTarget = false;
            for (const records::TableFile& from : records::kTableFiles)
                for (const ReferringElement& e : referringElements(from.id))
                    if (e.target == table.id) {
                        isTarget = true;
                        widestReference_[index(table.id)] =
                            std::max<std::int64_t>(widestReference_[index(table.id)], e.at.length == 1   ? 0xFF
                                                                                      : e.at.length == 2 ? INT16_MAX
                                                                                                         : INT32_MAX);
                    }
            if (isTarget == named) order_[n++] = table.id;
        }
    for (const records::TableFile& table : records::kTableFiles) {
        references_[index(table.id)] = referringElements(table.id);
        const records::RecordDescription& description = records::recordDescription(table.id);
        for (const Field& f : description.fields)
            for (std::size_t k = 0; k < f.count; ++k)
                elements_[index(table.id)].push_back(
                    {&f,
                     static_cast<std::uint16_t>(records::rowOffset(description.layout, f.elementOffset(k)).value_or(0)),
                     elementLabel(f, k)});
    }
}

WorldCheck::~WorldCheck() = default;

bool WorldCheck::step(std::vector<Problem>& found) {
    if (current_ >= order_.size()) return false;
    const TableId table = order_[current_];
    if (!reader_) {
        client::File* file = files_.file(table);
        if (!file) {
            status_ = files_.openStatus(table);
            return false;
        }
        const auto packed = records::packedLength(records::recordDescription(table).layout);
        reader_ = std::make_unique<BatchReader>(
            *file, records::tableFile(table),
            BatchRequest{{}, {{0, static_cast<std::uint16_t>(packed)}}, kRecordsPerBatch, true});
    }
    const bool more = reader_->next(batch_);
    for (std::size_t i = 0; i < batch_.size(); ++i) checkRecord(table, batch_.record(i), batch_.position(i), found);
    if (more) return true;
    status_ = reader_->status();
    if (status_ != B_NO_ERROR) return false;
    reader_.reset();
    return ++current_ < order_.size();
}

void WorldCheck::checkRecord(TableId table, std::span<const std::uint8_t> row, const client::Position& position,
                             std::vector<Problem>& found) {
    const records::RecordDescription& description = records::recordDescription(table);
    const auto& elements = elements_[index(table)];
    const auto bytesOf = [&](const Field* f) {
        const auto e = std::ranges::find(elements, f, &Element::field);
        return row.subspan(e->offset, f->width);
    };
    const auto number = static_cast<std::int32_t>(numberIn(bytesOf(description.number)));
    const auto report = [&](std::string field, std::string problem, std::optional<std::int64_t> value, std::string text,
                            std::string detail) {
        found.push_back(
            {table, number, std::move(field), std::move(problem), value, std::move(text), std::move(detail), position});
    };
    const std::string word(recordWord(table));

    if (number < 1)
        report("Number", "number-range", number, {}, "no Goto and no reference reaches a record numbered below 1");
    else if (widestReference_[index(table)] != 0 && number > widestReference_[index(table)])
        report("Number", "number-range", number, {},
               "no reference can name it: the fields that name " + word + "s hold numbers up to " +
                   std::to_string(widestReference_[index(table)]));
    exists_[index(table)].insert(number);

    for (const Element& e : elements) {
        const Field& f = *e.field;
        const auto bytes = row.subspan(e.offset, f.width);
        if (f.kind == FieldKind::Text) {
            if (const auto why = unusualEnd(f, bytes))
                report(e.label, "text-form", std::nullopt, wbtrv::hex(bytes),
                       "the text does not end the usual way: " + *why);
        } else if (f.kind == FieldKind::Coded && !f.words().hasRow(static_cast<int>(numberIn(bytes)))) {
            report(e.label, "no-word", numberIn(bytes), {}, "code " + std::to_string(numberIn(bytes)) + " has no word");
        } else if (f.kind == FieldKind::AbilityCodes &&
                   (numberIn(bytes) < 0 || numberIn(bytes) >= abilities::kAbilityRows)) {
            report(e.label, "ability-code", numberIn(bytes), {},
                   "ability code " + std::to_string(numberIn(bytes)) + " is outside the table (0 to " +
                       std::to_string(abilities::kAbilityRows - 1) + ")");
        }
    }

    const RowField whole{0, static_cast<std::uint16_t>(row.size())};
    const Extracted record(std::span(&whole, 1), row);
    for (const ReferringElement& e : references_[index(table)]) {
        const auto named = e.named(record);
        if (named && !exists_[index(e.target)].contains(*named))
            report(e.label(), "missing-record", *named, {},
                   std::string(recordWord(e.target)) + " " + std::to_string(*named) + " does not exist");
    }

    if (description.name) {
        const auto name = shownBytes(bytesOf(description.name));
        if (name.empty()) return;
        const auto [at, added] = names_[index(table)].try_emplace(std::string(name.begin(), name.end()), number);
        if (!added)
            report("Name", "duplicate-name", std::nullopt, at->first,
                   "the name of " + word + " " + std::to_string(at->second) + " too");
    }
}

}  // namespace world
