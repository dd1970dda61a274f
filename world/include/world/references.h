// The references between tables, as the record descriptions mark them: each element
// of a field that names a record of another table, where it lies in the row, and
// whether a record's element names one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "records/descriptions.h"
#include "world/batch_reader.h"

namespace world {

// One element of a referring field: DropItem C, Weapon, AttackAccuracy A ...
struct ReferringElement {
    const records::Field* field;
    std::size_t element;
    records::TableId target;
    RowField at;                          // the element in the row
    std::optional<RowField> conditionAt;  // the coded element that must hold the field's whenCode
    int whenCode = 0;

    // "DropItem C" for an element of a lettered field, "Weapon" for a single one.
    std::string label() const;
    // The record number the element names in a row (or its extracted fields); none
    // for 0, for a condition that does not hold, or when the bytes are not there.
    std::optional<std::int32_t> named(const Extracted& record) const;
    // Whether the element can hold that number at all.
    bool canHold(std::int64_t number) const;
};

// Every referring element of the table's records, in field order.
std::vector<ReferringElement> referringElements(records::TableId from);

// Whether records of other tables name records of this one (items, spells, messages).
bool namedByOthers(records::TableId table);

// The name of a table's records in texts: "item", "spell", "message" ...
std::string_view recordWord(records::TableId table);

// A row's number field, name field (or first text field for a record without a name),
// as row offsets.
RowField numberField(records::TableId table);
RowField titleField(records::TableId table);

// A little-endian number of the row: a byte unsigned, 2 or 4 bytes signed.
std::int64_t numberIn(std::span<const std::uint8_t> bytes);

// A text field's bytes up to its first zero byte.
std::span<const std::uint8_t> shownBytes(std::span<const std::uint8_t> field);

}  // namespace world
