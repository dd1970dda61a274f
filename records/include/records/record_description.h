// The one description of every record: each field's name, place in the record
// structure, width, kind and word table and, where a tab shows it, its box. The layout
// lists, the structure checks, the JSON dump, the demo world and the tabs' boxes are
// all derived from it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "records/code_table.h"
#include "records/layout.h"
#include "records/tables.h"

namespace records {

enum class FieldKind : std::uint8_t {
    Number,         // 1 byte unsigned, 2 or 4 bytes signed
    Text,           // width characters
    Coded,          // a number shown as a word of its table
    Hidden,         // carried, never shown
    AbilityCodes,   // ability codes, shown as words of the table's ability kind
    AbilityValues,  // the values of the same slots
};

using WordTableOf = const CodeTable& (*)();

// How a box's text goes back into its field.
enum class Reading : std::uint8_t {
    Whole,              // a whole number of the field's range
    Decimal,            // any number, rounded half to even, then the field's range
    NameRule,           // the text, one zero, blanks to the width; a full-width text keeps the field
    NameRuleIfChanged,  // the name rule, but only when the box no longer shows what was put there
    BlankFilled,        // the text cut to the width or filled with blanks, no zero
    ShowOnly,           // never read back
};

// How the elements of a field of several boxes are placed from the first one on.
enum class Along : std::uint8_t { Rows, Pages };

// A field's box on its tab. A field of several elements has one box per element,
// named name_k (name plus the letter A to E when lettered).
struct Box {
    std::string_view name = {};     // object name, or its prefix; empty: no box
    std::string_view caption = {};  // named in error messages; the row's label when labelled
    int page = 0;                   // 0 unless the tab has pages of its own (the monster tab)
    int group = 0;                  // the grid on that page
    int row = 0;
    int column = 1;       // column 0 holds the row's label
    int typingLimit = 0;  // characters the user may type; 0 for no limit
    Reading reading = Reading::Whole;
    int turn = 0;                    // the box's place in the order the tab is shown and read
    bool labelled = false;           // a label with the caption stands in column 0 of the row
    bool wide = false;               // spans every column right of the label
    bool readOnly = false;           // the user cannot type in it
    bool lettered = false;           // elements named A to E instead of _0 to _4
    Along along = Along::Rows;       // where element k goes: k rows, or k pages, further on
    int shownShift = 0;              // the box shows the stored value plus this
    std::string_view addedBox = {};  // the box shows the stored value plus that box's field
    // A read-only box beside it showing the name of the record the field names (its
    // object name, or the prefix of one per element); empty: none.
    std::string_view nameBox = {};

    constexpr bool exists() const { return !name.empty(); }
};

// A field whose value is the number of a record of another table (0: none). With a
// condition, element k names a record only while element k of the coded field `when`
// holds whenCode (a monster's attack accuracy names a spell for a spell attack).
struct Reference {
    std::optional<TableId> table;
    std::string_view when = {};
    int whenCode = 0;

    constexpr bool exists() const { return table.has_value(); }
};

struct Field {
    std::string_view name;
    FieldKind kind;
    std::size_t offset;      // of the first element in the record structure
    std::size_t width;       // bytes of one element
    std::size_t count = 1;   // elements
    std::size_t stride = 0;  // bytes from one element to the next; 0: width
    WordTableOf words = nullptr;
    Box box = {};
    Reference names = {};

    constexpr std::size_t step() const { return stride != 0 ? stride : width; }
    constexpr std::size_t elementOffset(std::size_t k) const { return offset + k * step(); }
    constexpr FieldType layoutType() const {
        return kind == FieldKind::Text ? TextField : width == 1 ? ByteField : IntegerField;
    }
};

// A member of a record structure as a field's name and offset: RECORD_FIELD(RaceRecord, CP).
#define RECORD_FIELD(Record, member) #member, offsetof(Record, member)

namespace description {

constexpr Field number(std::string_view name, std::size_t offset, std::size_t width, Box box = {}) {
    return {name, FieldKind::Number, offset, width, 1, 0, nullptr, box};
}
constexpr Field numbers(std::string_view name, std::size_t offset, std::size_t width, std::size_t count,
                        std::size_t stride, Box box = {}) {
    return {name, FieldKind::Number, offset, width, count, stride, nullptr, box};
}
constexpr Field text(std::string_view name, std::size_t offset, std::size_t width, Box box = {}) {
    return {name, FieldKind::Text, offset, width, 1, 0, nullptr, box};
}
constexpr Field coded(std::string_view name, std::size_t offset, std::size_t width, WordTableOf words, Box box = {},
                      std::size_t count = 1) {
    return {name, FieldKind::Coded, offset, width, count, 0, words, box};
}
constexpr Field hidden(std::string_view name, std::size_t offset, std::size_t width, std::size_t count = 1,
                       std::size_t stride = 0) {
    return {name, FieldKind::Hidden, offset, width, count, stride};
}
// The boxes every tab has: the record's name, on a row of its own across the tab, and
// its number, which the user cannot change.
constexpr Box nameBox(std::string_view name, Reading reading) {
    return {.name = name,
            .caption = "Name",
            .typingLimit = 29,
            .reading = reading,
            .turn = 1,
            .labelled = true,
            .wide = true};
}
// A number box in a grid row; the one in column 1 carries the row's label.
constexpr Box gridBox(std::string_view name, std::string_view caption, int row, int column, int typingLimit, int turn) {
    return {.name = name,
            .caption = caption,
            .row = row,
            .column = column,
            .typingLimit = typingLimit,
            .turn = turn,
            .labelled = column == 1};
}
constexpr Box numberBox(std::string_view name, int row, Reading reading, int typingLimit = 0) {
    return {.name = name,
            .caption = "Number",
            .row = row,
            .typingLimit = typingLimit,
            .reading = reading,
            .readOnly = true};
}
// Marks a field as naming records of another table.
constexpr Field naming(Field field, TableId table, std::string_view when = {}, int whenCode = 0) {
    field.names = {table, when, whenCode};
    return field;
}
// Gives a field's box the box beside it that shows the name of the record it names.
constexpr Field withNameBox(Field field, std::string_view nameBox) {
    field.box.nameBox = nameBox;
    return field;
}
constexpr Field abilityCodes(std::size_t offset, std::size_t count, Box box) {
    return {"AbilityCode", FieldKind::AbilityCodes, offset, 2, count, 0, nullptr, box};
}
constexpr Field abilityValues(std::size_t offset, std::size_t count, Box box) {
    return {"AbilityValue", FieldKind::AbilityValues, offset, 2, count, 0, nullptr, box};
}

}  // namespace description

// ---- what is derived from a description, at compile time ----

// One element of a field: where it lies in the structure and how it is packed.
struct Element {
    std::size_t offset;
    std::size_t width;
    FieldType type;
};

template <std::size_t N>
constexpr std::size_t elementCount(const std::array<Field, N>& fields) {
    std::size_t n = 0;
    for (const Field& f : fields) n += f.count;
    return n;
}

// Every element of every field in structure order, which is also row order.
template <std::size_t Elements, std::size_t N>
constexpr std::array<Element, Elements> elementsOf(const std::array<Field, N>& fields) {
    std::array<Element, Elements> elements{};
    std::size_t n = 0;
    for (const Field& f : fields)
        for (std::size_t k = 0; k < f.count; ++k) elements[n++] = {f.elementOffset(k), f.width, f.layoutType()};
    std::sort(elements.begin(), elements.end(), [](const Element& a, const Element& b) { return a.offset < b.offset; });
    return elements;
}

// The field layout list the description gives: one entry per element, in row order.
template <std::size_t Elements, std::size_t N>
constexpr std::array<LayoutEntry, Elements> layoutOf(const std::array<Field, N>& fields) {
    std::array<LayoutEntry, Elements> list{};
    const auto elements = elementsOf<Elements>(fields);
    for (std::size_t i = 0; i < Elements; ++i)
        list[i] = {elements[i].type, static_cast<std::int32_t>(elements[i].width)};
    return list;
}

// True when the elements fill the structure exactly as the row conversion lays it out:
// each at the natural alignment after the one before, none overlapping, none missing,
// and the structure no longer than the last element (rounded to its alignment).
template <std::size_t Elements, std::size_t N>
constexpr bool tilesStructure(const std::array<Field, N>& fields, std::size_t structSize, std::size_t structAlign) {
    std::size_t end = 0;
    for (const Element& e : elementsOf<Elements>(fields)) {
        const std::size_t align = e.type == IntegerField ? e.width : 1;
        if (e.offset != (end + align - 1) / align * align) return false;
        end = e.offset + e.width;
    }
    return (end + structAlign - 1) / structAlign * structAlign == structSize;
}

// True when no two boxes share a name or a place, and every added box is a box of the table.
template <std::size_t N>
constexpr bool boxesDistinct(const std::array<Field, N>& fields) {
    for (std::size_t i = 0; i < N; ++i) {
        const Box& a = fields[i].box;
        if (!a.exists()) continue;
        if (!a.addedBox.empty() &&
            std::none_of(fields.begin(), fields.end(), [&](const Field& f) { return f.box.name == a.addedBox; }))
            return false;
        for (std::size_t j = i + 1; j < N; ++j) {
            const Box& b = fields[j].box;
            if (!b.exists()) continue;
            if (a.name == b.name) return false;
            for (std::size_t k = 0; k < fields[i].count; ++k)
                for (std::size_t m = 0; m < fields[j].count; ++m) {
                    const int ka = static_cast<int>(k), mb = static_cast<int>(m);
                    const bool samePage =
                        a.page + (a.along == Along::Pages ? ka : 0) == b.page + (b.along == Along::Pages ? mb : 0);
                    const bool sameRow =
                        a.row + (a.along == Along::Rows ? ka : 0) == b.row + (b.along == Along::Rows ? mb : 0);
                    if (samePage && a.group == b.group && sameRow && a.column == b.column) return false;
                }
        }
    }
    return true;
}

// True when every condition of a reference names a coded field of as many elements.
template <std::size_t N>
constexpr bool referencesSound(const std::array<Field, N>& fields) {
    return std::all_of(fields.begin(), fields.end(), [&](const Field& f) {
        return f.names.when.empty() || std::any_of(fields.begin(), fields.end(), [&](const Field& c) {
                   return c.name == f.names.when && c.kind == FieldKind::Coded && c.count == f.count;
               });
    });
}

// The field whose box has that name; a name that no box has does not compile.
template <std::size_t N>
consteval const Field& boxField(const std::array<Field, N>& fields, std::string_view name) {
    for (const Field& f : fields)
        if (f.box.name == name) return f;
    throw "no box of that name";
}

// The field of that name; a name that no field has does not compile.
template <std::size_t N>
consteval const Field& namedField(const std::array<Field, N>& fields, std::string_view name) {
    for (const Field& f : fields)
        if (f.name == name) return f;
    throw "no field of that name";
}

// A record's description as the rest of the program walks it.
struct RecordDescription {
    std::span<const Field> fields;
    std::span<const LayoutEntry> layout;  // its field layout list
    std::size_t structSize;
    const Field* number = nullptr;  // the record number, the file's key 0
    const Field* name = nullptr;    // the record's name; none for messages
};

}  // namespace records
