#include "world/where_used.h"

#include <wbtrv32/bytes.h>

#include <algorithm>

#include "world/read_files.h"

namespace world {

WhereUsed::WhereUsed(records::TableId target, std::int32_t number) : target_(target), number_(number) {
    for (const records::TableFile& table : records::kTableFiles) {
        From from{table.id, {}, {numberField(table.id), titleField(table.id)}};
        for (const ReferringElement& e : referringElements(table.id)) {
            if (e.target != target || number == 0 || !e.canHold(number)) continue;
            from.elements.push_back(e);
            from.fields.push_back(e.at);
            if (e.conditionAt) from.fields.push_back(*e.conditionAt);
        }
        if (!from.elements.empty()) froms_.push_back(std::move(from));
    }
}

const WhereUsed::From* WhereUsed::from(records::TableId table) const {
    const auto found = std::ranges::find(froms_, table, &From::table);
    return found == froms_.end() ? nullptr : &*found;
}

std::vector<records::TableId> WhereUsed::referringTables() const {
    std::vector<records::TableId> tables;
    for (const From& f : froms_) tables.push_back(f.table);
    return tables;
}

std::optional<BatchRequest> WhereUsed::request(records::TableId table, std::uint16_t perBatch) const {
    const From* f = from(table);
    if (!f) return std::nullopt;
    BatchRequest request{{}, f->fields, perBatch};
    for (const ReferringElement& e : f->elements) {
        // The condition of a conditional element is tested on the extracted bytes:
        // the filter's connectors cannot group it with its own term.
        std::vector<std::uint8_t> value(e.at.length);
        wbtrv::writeLittleEndian(value.data(), value.size(), static_cast<std::uint32_t>(number_));
        request.anyOf.push_back({e.at.offset, std::move(value)});
    }
    return request;
}

void WhereUsed::usesIn(records::TableId table, std::span<const std::uint8_t> extracted, std::vector<Use>& uses) const {
    const From* f = from(table);
    if (!f) return;
    const Extracted record(f->fields, extracted);
    const RowField number = f->fields[0], title = f->fields[1];
    const auto name = shownBytes(record.at(title.offset, title.length));
    for (const ReferringElement& e : f->elements)
        if (e.named(record) == number_)
            uses.push_back({table,
                            static_cast<std::int32_t>(numberIn(record.at(number.offset, number.length))),
                            {name.begin(), name.end()},
                            e.field,
                            e.element,
                            e.label()});
}

bool WhereUsed::readAll(ReadFiles& files, std::vector<Use>& uses, client::Status& status) const {
    for (const From& f : froms_) {
        client::File* file = files.file(f.table);
        if (!file) {
            status = files.openStatus(f.table);
            return false;
        }
        BatchReader reader(*file, records::tableFile(f.table), *request(f.table, 500));
        Batch batch;
        bool more = true;
        while (more) {
            more = reader.next(batch);
            for (std::size_t i = 0; i < batch.size(); ++i) usesIn(f.table, batch.record(i), uses);
        }
        if (reader.status() != B_NO_ERROR) {
            status = reader.status();
            return false;
        }
    }
    return true;
}

}  // namespace world
