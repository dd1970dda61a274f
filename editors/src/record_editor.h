// What the editors of the six tables share: the record structure of the table, the
// conversion between it and the table's packed row, and the end of every update.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <optional>
#include <span>

#include "box_field.h"
#include "editors/table_editor.h"
#include "records/row_conversion.h"
#include "text_rules.h"

namespace editors {

template <class Record>
class RecordEditor : public TableEditor {
public:
    RecordEditor(EditorContext context, std::span<const records::LayoutEntry> fields)
        : context_(context), fields_(fields) {}

    std::int32_t recordNumber() const override { return record_.Number; }
    void setRecordNumber(std::int32_t number) override {
        record_.Number = static_cast<decltype(record_.Number)>(number);
    }

    std::span<const char> nameField() const override {
        if constexpr (requires { record_.Name; })
            return record_.Name;
        else
            return {};
    }

    void structToRow() override { records::StructToRow(std::span(context_.block.row), fields_, record_); }

protected:
    // Unpacks a row into the structure; false (structure untouched) when the row is too short.
    bool unpack(std::span<const std::uint8_t> row) {
        return records::RowToStruct(row, fields_, record_) == records::ConversionResult::Ok;
    }

    // An update runs only on a file that was opened.
    bool fileOpen() const { return context_.block.openFlag == 1; }

    // Shows a failed conversion: a message box naming the field and the text, then the
    // focus on the box. True when there was nothing to report.
    bool converted(const std::optional<ConversionFailure>& failure) const {
        if (!failure) return true;
        context_.dialogs.message(failure->message);
        if (failure->box) failure->box->setFocus(Qt::OtherFocusReason);
        return false;
    }

    // Takes the edited structure, packs it into the row and writes it over the current
    // record. False, after the report, when the record manager refused.
    bool writeRecord(const Record& edited) {
        record_ = edited;
        structToRow();
        const std::int16_t status = context_.store.onTable(B_UPDATE, context_.block);
        return context_.store.check(status, "Error on BUPDATE: ");
    }

    // The status line after a successful update: the table's word, the number,
    // " Updated! " and the name as a box shows it.
    void confirmUpdate(const QString& tableWord) {
        if constexpr (requires { record_.Name; })
            context_.status.setText(tableWord + QLatin1Char(' ') + QString::number(record_.Number) +
                                    QStringLiteral(" Updated! ") + shownText(record_.Name));
    }

    EditorContext context_;
    std::span<const records::LayoutEntry> fields_;
    Record record_{};
};

}  // namespace editors
