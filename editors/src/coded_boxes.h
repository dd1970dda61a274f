// The drop-down boxes of coded fields: each shows its field's word and reads a word
// back into the code, through the field's word table.
#pragma once

#include <QComboBox>
#include <cstddef>
#include <type_traits>
#include <vector>

#include "box_field.h"
#include "records/code_table.h"

namespace editors {

struct CodedField {
    QString name;  // object name of the box
    const records::CodeTable& table;
    std::size_t offset;  // of the field in the record structure
    FieldKind kind;      // Int16 or Byte
};

// What a box shows for a code that has no word.
enum class Wordless {
    Number,   // its decimal number, which also saves back as that code
    Unknown,  // the word "Unknown" (shown only)
};

class CodedBoxes {
public:
    // Builds the boxes, each offering its table's words and showing the first.
    CodedBoxes(QWidget& page, std::vector<CodedField> fields, Wordless wordless);

    // The boxes and their fields, in the list's order.
    const std::vector<QComboBox*>& boxes() const { return boxes_; }
    const std::vector<CodedField>& fields() const { return fields_; }

    template <class Record>
    void show(const Record& record) const {
        static_assert(std::is_standard_layout_v<Record> && std::is_trivially_copyable_v<Record>);
        showBytes(reinterpret_cast<const std::byte*>(&record));
    }

    // A box holding a word of its table stores that word's code; any other text keeps the code.
    template <class Record>
    void read(Record& record) const {
        static_assert(std::is_standard_layout_v<Record> && std::is_trivially_copyable_v<Record>);
        readBytes(reinterpret_cast<std::byte*>(&record));
    }

private:
    void showBytes(const std::byte* record) const;
    void readBytes(std::byte* record) const;

    std::vector<CodedField> fields_;
    std::vector<QComboBox*> boxes_;
    Wordless wordless_;
};

}  // namespace editors
