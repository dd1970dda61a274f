#include "world/text_search.h"

#include <algorithm>

#include "records/number_text.h"
#include "records/row_conversion.h"
#include "records/text_codec.h"
#include "world/references.h"

namespace world {
namespace {

std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(records::foldedCase(static_cast<unsigned char>(c)));
    return out;
}

RowField rowFieldOf(records::TableId table, const records::Field& field) {
    const auto offset = records::rowOffset(records::recordDescription(table).layout, field.offset);
    return {static_cast<std::uint16_t>(offset.value_or(0)), static_cast<std::uint16_t>(field.width)};
}

}  // namespace

std::vector<const records::Field*> TextSearch::textFields(records::TableId table) {
    std::vector<const records::Field*> fields;
    for (const records::Field& f : records::recordDescription(table).fields)
        if (f.kind == records::FieldKind::Text) fields.push_back(&f);
    return fields;
}

TextSearch::TextSearch(records::TableId table, std::string_view text, std::string_view onlyField)
    : table_(table), needle_(folded(text)) {
    for (const records::Field* f : textFields(table))
        if (onlyField.empty() || f->name == onlyField) fields_.push_back(f);
    if (const auto n = records::parseWholeNumber(text, INT32_MIN, INT32_MAX); n && onlyField.empty())
        number_ = static_cast<std::int32_t>(*n);
    extracted_ = {numberField(table), titleField(table)};
    for (const records::Field* f : fields_) extracted_.push_back(rowFieldOf(table, *f));
}

BatchRequest TextSearch::request(std::uint16_t perBatch) const { return {{}, extracted_, perBatch}; }

bool TextSearch::contains(std::span<const std::uint8_t> field) const {
    const auto shown = shownBytes(field);
    return std::search(shown.begin(), shown.end(), needle_.begin(), needle_.end(), [](std::uint8_t a, char b) {
               return records::foldedCase(a) == static_cast<unsigned char>(b);
           }) != shown.end();
}

std::optional<TextMatch> TextSearch::match(std::span<const std::uint8_t> extracted) const {
    const Extracted record(extracted_, extracted);
    const RowField number = extracted_[0], title = extracted_[1];
    const auto titleBytes = shownBytes(record.at(title.offset, title.length));
    TextMatch found{static_cast<std::int32_t>(numberIn(record.at(number.offset, number.length))),
                    {titleBytes.begin(), titleBytes.end()},
                    {}};
    if (number_ && *number_ == found.number) {
        found.field = "Number";
        return found;
    }
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const RowField at = extracted_[i + 2];
        if (contains(record.at(at.offset, at.length))) {
            found.field = fields_[i]->name;
            return found;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> nextMatch(client::File& file, const TextSearch& search, std::int32_t after,
                                      client::Status& status) {
    for (const bool wrapped : {false, true}) {
        BatchReader reader(file, records::tableFile(search.table()), search.request(200));
        if (!wrapped) reader.startAfter(after);
        Batch batch;
        bool more = true;
        while (more) {
            more = reader.next(batch);
            for (std::size_t i = 0; i < batch.size(); ++i) {
                const auto found = search.match(batch.record(i));
                if (found && (!wrapped || found->number <= after)) return found->number;
                if (found && wrapped) return std::nullopt;
            }
        }
        status = reader.status();
        if (status != B_NO_ERROR) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace world
