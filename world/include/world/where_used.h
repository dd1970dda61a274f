// Where Used: the records that name a given record, one row per referring element.
// The referring table is read with one filter of an equality term per element that
// could hold the number, joined by OR, so only the records that refer come back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/references.h"

namespace world {

struct Use {
    records::TableId table;  // the referring record's table
    std::int32_t number;
    std::string name;             // up to its first zero byte
    const records::Field* field;  // the referring field and its element
    std::size_t element;
    std::string label;  // "DropItem C"
};

class WhereUsed {
public:
    WhereUsed(records::TableId target, std::int32_t number);

    // The tables whose records may name the target (those with referring elements).
    std::vector<records::TableId> referringTables() const;
    // The read of one referring table; none when no element of it could hold the number.
    std::optional<BatchRequest> request(records::TableId from, std::uint16_t perBatch) const;
    // The uses in one record of a batch read with request(from).
    void usesIn(records::TableId from, std::span<const std::uint8_t> extracted, std::vector<Use>& uses) const;

    // Reads every referring table through files; false with the status of a failed read.
    bool readAll(class ReadFiles& files, std::vector<Use>& uses, client::Status& status) const;

private:
    struct From {
        records::TableId table;
        std::vector<ReferringElement> elements;  // those naming the target that can hold the number
        std::vector<RowField> fields;            // extracted: number, title, the elements and their conditions
    };
    const From* from(records::TableId table) const;

    records::TableId target_;
    std::int32_t number_;
    std::vector<From> froms_;
};

}  // namespace world
