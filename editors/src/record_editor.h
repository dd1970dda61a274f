// What the editors of the six tables share: the record structure of the table, its
// conversion to and from the table's packed row, and the steps of showing, updating,
// inserting and deleting; each editor adds its tab's boxes.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <optional>
#include <span>

#include "box_field.h"
#include "editors/table_editor.h"
#include "records/row_conversion.h"
#include "records/text_codec.h"
#include "store/table_blocks.h"
#include "text_rules.h"

namespace editors {

// The words of a table in its questions and status lines; the prompts only for the
// tables that can be inserted into.
struct TableWords {
    const char* noun;  // "Race": starts the status line confirmations
    const char* insertPrompt = "";
    const char* insertTitle = "";
};

template <class Record>
class RecordEditor : public TableEditor {
public:
    RecordEditor(EditorContext context, std::span<const records::LayoutEntry> fields, TableWords words)
        : context_(context), fields_(fields), tableWords_(words) {}

    std::int32_t recordNumber() const override { return record_.Number; }

    // Unpacks the row into the structure and fills the tab; a row too short for the
    // table's list changes nothing.
    void show(std::span<const std::uint8_t> row) final {
        if (records::RowToStruct(row, fields_, record_) == records::ConversionResult::Ok) showTab();
    }

    // Reads the tab into a copy of the structure, packs it and writes it over the current
    // record, shows what was written and confirms it. A box that cannot be converted is
    // reported and stops the update before anything is written.
    void update() final {
        if (!editable() || context_.block.openFlag != 1) return;
        Record edited = record_;
        if (!converted(readTab(edited)) || !writeRecord(edited)) return;
        show(context_.block.row);
        confirmUpdate();
    }

    // Insert: a copy of the structure under number 0, which the record manager replaces
    // by the next free number; then the last record, the copy, is shown and confirmed.
    void insert() override {
        if (!editable()) return;
        const auto copiedFrom = record_.Number;
        if (context_.dialogs.message(QString::fromLatin1(tableWords_.insertPrompt),
                                     QString::fromLatin1(tableWords_.insertTitle), Buttons::YesNo) != Answer::Yes)
            return;
        // After a refusal the structure keeps number 0; only the file block is put back.
        record_.Number = 0;
        const store::BlockBuffers before(context_.block);
        structToRow();
        if (!call(B_INSERT, "Error on BINSERT: ", before) || !call(B_GET_LAST, "Error on BGETLAST: ", before)) return;
        show(context_.block.row);
        QString line = QString::fromLatin1(tableWords_.noun) + QStringLiteral(" Inserted at Record ") +
                       QString::number(record_.Number);
        // A table without a name (messages) names the record the copy came from instead.
        if constexpr (requires { record_.Name; })
            line += QStringLiteral(" using data ") + fieldText(record_.Name);
        else
            line += QStringLiteral(" using data from record ") + QString::number(copiedFrom);
        setStatusLine(line);
    }

    // Delete: asks, removes the current record, confirms with the number and name of
    // the structure and shows the first record of the file.
    void remove() override {
        if (!editable()) return;
        const QString number = QString::number(record_.Number);
        if (context_.dialogs.message(QStringLiteral("Delete this record from database?"),
                                     QStringLiteral("Delete Record ") + number + QStringLiteral("?"),
                                     Buttons::YesNo) != Answer::Yes)
            return;
        QString line = QString::fromLatin1(tableWords_.noun) + QLatin1Char(' ') + number + QStringLiteral(" Deleted. ");
        if constexpr (requires { record_.Name; }) line += fieldText(record_.Name) + QLatin1Char(' ');
        if (!call(B_DELETE, "Error on BDELETE: ", store::BlockBuffers(context_.block))) return;
        setStatusLine(line);
        store::showFirstRecord(context_.store, context_.block,
                               [this](store::TableFileBlock& block) { show(block.row); });
    }

protected:
    // Fills the tab from the structure.
    virtual void showTab() = 0;
    // Reads the tab into edited; the first box that cannot be converted, if any. Only the
    // tables that can be saved read their tabs.
    virtual std::optional<ConversionFailure> readTab(Record& /*edited*/) { return std::nullopt; }

    EditorContext context_;
    Record record_{};

private:
    // Shows a failed conversion: a message box naming the field and the text, then the
    // focus on the box. True when there was nothing to report.
    bool converted(const std::optional<ConversionFailure>& failure) const {
        if (!failure) return true;
        context_.dialogs.message(failure->message);
        if (failure->box) failure->box->setFocus(Qt::OtherFocusReason);
        return false;
    }

    // Takes the edited structure, packs it into the row and writes it over the current
    // record. False, after the report, when the record manager refused: the structure
    // and the file block are then as they were before.
    bool writeRecord(const Record& edited) {
        const Record kept = record_;
        const store::BlockBuffers before(context_.block);
        record_ = edited;
        structToRow();
        if (call(B_UPDATE, "Error on BUPDATE: ", before)) return true;
        record_ = kept;
        return false;
    }

    // The status line after a successful update: the table's word, then for a table
    // with names the number, " Updated! " and the name as a box shows it.
    void confirmUpdate() {
        const QString noun = QString::fromLatin1(tableWords_.noun);
        if constexpr (requires { record_.Name; })
            context_.status.setText(noun + QLatin1Char(' ') + QString::number(record_.Number) +
                                    QStringLiteral(" Updated! ") + shownText(record_.Name));
        else
            context_.status.setText(noun + QStringLiteral(" Updated!"));
    }

    std::span<const records::LayoutEntry> fields_;
    TableWords tableWords_;

    // Packs the structure into the table's packed row buffer.
    void structToRow() { records::StructToRow(std::span(context_.block.row), fields_, record_); }

    // One write call on the current record; a refusal is reported and puts the file
    // block's buffers back as they were before the command.
    bool call(store::Operation operation, std::string_view errorPrefix, const store::BlockBuffers& before) {
        if (context_.store.check(context_.store.onTable(operation, context_.block), errorPrefix)) return true;
        before.restore(context_.block);
        return false;
    }

    // A fixed-width text field at its full width; the status line cuts it at a zero.
    static QString fieldText(std::span<const char> field) {
        return QString::fromStdU16String(records::decodeText(field));
    }

    // The status line shows a text up to its first zero character.
    void setStatusLine(const QString& text) {
        const auto end = text.indexOf(QChar(0));
        context_.status.setText(end < 0 ? text : text.left(end));
    }
};

}  // namespace editors
