// The Messages tab: the number and the three lines of a message.

#include "described_boxes.h"
#include "editor_factories.h"
#include "record_editor.h"
#include "records/message_record.h"

namespace editors {
namespace {

using records::MessageRecord;

class MessageEditor final : public RecordEditor<MessageRecord> {
public:
    MessageEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.MessageFields,
                       {"Message", "Insert new Message with this records data?", "Insert New Message"}),
          boxes_(page, records::kMessageDescription, Wordless::Number) {
        auto* grid = new QGridLayout(&page);
        boxes_.place([&](int, int) { return TabGrid{grid, &page}; });
        // A number, not a line of text: as wide as a number box.
        grid->setAlignment(&boxes_.widget(records::boxField(records::kMessageDescription, "txtMessageNumber").box),
                           Qt::AlignLeft);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(grid->rowCount(), 1);
    }

    bool editable() const override { return true; }

private:
    void showTab() override { boxes_.show(record_); }
    std::optional<ConversionFailure> readTab(MessageRecord& edited) override { return boxes_.read(edited); }

    DescribedBoxes boxes_;
};

}  // namespace

std::unique_ptr<TableEditor> makeMessageEditor(QWidget& page, EditorContext context) {
    return std::make_unique<MessageEditor>(page, context);
}

}  // namespace editors
