// The one editor of every table, driven by the table's record description and its
// tab's description: the record structure as bytes, its conversion to and from the
// table's packed row, and the steps of showing, updating, inserting and deleting.
#include "editors/table_editor.h"
#include "name_boxes.h"
#include "records/descriptions.h"
#include "records/row_conversion.h"
#include "records/text_codec.h"
#include "store/table_blocks.h"
#include "tab_description.h"
#include "text_rules.h"

namespace editors {
namespace {

const records::CodeTable* abilityTableOf(const TabDescription& tab) {
    return tab.abilities ? &abilities::abilityTable(*tab.abilities) : nullptr;
}

class DescribedEditor final : public TableEditor {
public:
    DescribedEditor(const TabDescription& tab, QWidget& page, EditorContext context)
        : tab_(tab),
          description_(records::recordDescription(tab.table)),
          context_(context),
          record_(description_.structSize),
          boxes_(page, description_.fields, tab.wordless, abilityTableOf(tab)),
          extras_(tab.layOut(page, boxes_)),
          names_(page, description_.fields, context.names) {}

    std::int32_t recordNumber() const override {
        return static_cast<std::int32_t>(record_.number({description_.number}));
    }

    bool editable() const override { return tab_.editable; }

    // Unpacks the row into the structure and fills the tab; a row too short for the
    // table's list changes nothing.
    void show(std::span<const std::uint8_t> row) override {
        if (records::RowToStruct(row, description_.layout, record_.data(), record_.size()) !=
            records::ConversionResult::Ok)
            return;
        boxes_.show(record_);
        if (extras_) extras_->show(record_);
        names_.show(record_);
    }

    // Reads the tab into a copy of the structure, packs it and writes it over the current
    // record, shows what was written and confirms it. A box that cannot be converted is
    // reported and stops the update before anything is written.
    void update() override {
        if (!editable() || context_.block.openFlag != 1) return;
        RecordBytes edited = record_;
        if (!converted(readTab(edited)) || !writeRecord(edited)) return;
        show(context_.block.row);
        QString line = noun();
        if (description_.name)
            line += QLatin1Char(' ') + QString::number(recordNumber()) + QStringLiteral(" Updated! ") +
                    shownText(record_.text({description_.name}));
        else
            line += QStringLiteral(" Updated!");
        context_.status.setText(line);
    }

    // Insert: a copy of the structure under number 0, which the record manager replaces
    // by the next free number; then the last record, the copy, is shown and confirmed.
    void insert() override {
        if (!editable()) return;
        const auto copiedFrom = recordNumber();
        if (context_.dialogs.message(describedText(tab_.insertPrompt), describedText(tab_.insertTitle),
                                     Buttons::YesNo) != Answer::Yes)
            return;
        // After a refusal the structure keeps number 0; only the file block is put back.
        record_.setNumber({description_.number}, 0);
        const store::BlockBuffers before(context_.block);
        structToRow();
        if (!call(B_INSERT, "Error on BINSERT: ", before) || !call(B_GET_LAST, "Error on BGETLAST: ", before)) return;
        show(context_.block.row);
        QString line = noun() + QStringLiteral(" Inserted at Record ") + QString::number(recordNumber());
        // A table without a name (messages) names the record the copy came from instead.
        if (description_.name)
            line += QStringLiteral(" using data ") + fieldText(record_.text({description_.name}));
        else
            line += QStringLiteral(" using data from record ") + QString::number(copiedFrom);
        setStatusLine(line);
    }

    // Delete: asks, removes the current record, confirms with the number and name of
    // the structure and shows the first record of the file.
    void remove() override {
        if (!editable()) return;
        const QString number = QString::number(recordNumber());
        if (context_.dialogs.message(QStringLiteral("Delete this record from database?"),
                                     QStringLiteral("Delete Record ") + number + QStringLiteral("?"),
                                     Buttons::YesNo) != Answer::Yes)
            return;
        QString line = noun() + QLatin1Char(' ') + number + QStringLiteral(" Deleted. ");
        if (description_.name) line += fieldText(record_.text({description_.name})) + QLatin1Char(' ');
        if (!call(B_DELETE, "Error on BDELETE: ", store::BlockBuffers(context_.block))) return;
        setStatusLine(line);
        store::showFirstRecord(context_.store, context_.block,
                               [this](store::TableFileBlock& block) { show(block.row); });
    }

private:
    QString noun() const { return describedText(tab_.noun); }

    // Reads the tab into edited; the first box that cannot be converted, if any.
    std::optional<ConversionFailure> readTab(RecordBytes& edited) const {
        auto failure = boxes_.read(edited);
        if (!failure && extras_) extras_->read(edited);
        return failure;
    }

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
    bool writeRecord(const RecordBytes& edited) {
        const RecordBytes kept = record_;
        const store::BlockBuffers before(context_.block);
        record_ = edited;
        structToRow();
        if (call(B_UPDATE, "Error on BUPDATE: ", before)) return true;
        record_ = kept;
        return false;
    }

    // Packs the structure into the table's packed row buffer.
    void structToRow() {
        records::StructToRow(std::span(context_.block.row), description_.layout, record_.data(), record_.size());
    }

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

    const TabDescription& tab_;
    const records::RecordDescription& description_;
    EditorContext context_;
    RecordBytes record_;
    DescribedBoxes boxes_;
    std::unique_ptr<TabExtras> extras_;
    NameBoxes names_;
};

}  // namespace

std::unique_ptr<TableEditor> makeTableEditor(records::TableId table, QWidget& page, EditorContext context) {
    return std::make_unique<DescribedEditor>(tabDescription(table), page, context);
}

}  // namespace editors
