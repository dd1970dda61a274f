// One descriptor table per record structure: every member by name, where it
// lies in the structure and how it is shown. The JSON formatting, its way back
// and the demo world's filling of hidden fields all walk these tables.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "abilities/ability_table.h"
#include "records/code_table.h"
#include "records/layout.h"
#include "records/tables.h"

namespace gamedata::detail {

enum class FieldKind {
    Number,        // 1 byte unsigned, 2 or 4 bytes signed
    Text,          // width characters
    Coded,         // a number with a word table
    Hidden,        // carried, never shown: shown here as hex
    AbilitySlots,  // codes at offset, values at valueOffset, count slots of 2-byte members
};

using TableOf = const records::CodeTable& (*)();

struct FieldDescriptor {
    std::string_view name;
    FieldKind kind;
    std::size_t offset;           // of the first element in the record structure
    std::size_t width;            // bytes of one element
    std::size_t count = 1;        // elements
    std::size_t stride = 0;       // bytes from one element to the next; 0: width
    TableOf table = nullptr;      // Coded only
    std::size_t valueOffset = 0;  // AbilitySlots only

    std::size_t step() const { return stride != 0 ? stride : width; }
    std::size_t elementOffset(std::size_t i) const { return offset + i * step(); }
};

struct RecordLayout {
    records::TableId table;
    std::span<const records::LayoutEntry> list;  // the table's field layout list
    std::size_t structSize;                      // sizeof the record structure
    std::optional<abilities::AbilityKind> abilityKind;
    std::span<const FieldDescriptor> fields;
};

const RecordLayout& recordLayout(records::TableId table);

// The table of a data file, by base name (letter case ignored) and record length.
std::optional<records::TableId> tableOfFile(std::string_view fileName, std::uint32_t recordLength);

}  // namespace gamedata::detail
