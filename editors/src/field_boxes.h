// The text boxes of one tab, built from the tab's descriptor list; shows a record on
// them and reads them back, both walking the list in its order.
#pragma once

#include <QLineEdit>
#include <optional>
#include <type_traits>
#include <vector>

#include "box_field.h"

namespace editors {

class FieldBoxes {
public:
    FieldBoxes(QWidget& page, std::vector<BoxField> fields);

    // The boxes and their fields, in the list's order.
    const std::vector<QLineEdit*>& boxes() const { return boxes_; }
    const std::vector<BoxField>& fields() const { return fields_; }

    template <class Record>
    void show(const Record& record) {
        static_assert(std::is_standard_layout_v<Record> && std::is_trivially_copyable_v<Record>);
        showBytes(reinterpret_cast<const std::byte*>(&record));
    }

    // Converts every box into record, stopping at the first that fails; record is then
    // partly converted, so callers read into a copy.
    template <class Record>
    std::optional<ConversionFailure> read(Record& record) const {
        static_assert(std::is_standard_layout_v<Record> && std::is_trivially_copyable_v<Record>);
        return readBytes(reinterpret_cast<std::byte*>(&record));
    }

private:
    void showBytes(const std::byte* record);
    std::optional<ConversionFailure> readBytes(std::byte* record) const;
    std::optional<ConversionFailure> readNumber(std::size_t index, std::byte* record) const;
    std::optional<ConversionFailure> readText(std::size_t index, std::byte* record) const;

    std::vector<BoxField> fields_;
    std::vector<QLineEdit*> boxes_;
    std::vector<std::optional<std::size_t>> added_;  // index of each field's addedBox
    std::vector<QString> shown_;                     // what the last show put in each box
};

}  // namespace editors
