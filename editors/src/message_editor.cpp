// The Messages tab: the number and the three lines of a message.
#include <cstddef>

#include "editor_factories.h"
#include "field_boxes.h"
#include "record_editor.h"
#include "records/message_record.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::MessageRecord;

constexpr int kLineWidth = 74;

BoxField lineField(const char* name, const char* caption, std::size_t offset) {
    return {.name = name,
            .caption = caption,
            .offset = offset,
            .kind = FieldKind::Text,
            .width = kLineWidth,
            .typingLimit = kLineWidth,
            .reading = Reading::NameRule};
}

std::vector<BoxField> messageFields() {
    return {
        {.name = "txtMessageNumber",
         .caption = "Number",
         .offset = offsetof(MessageRecord, Number),
         .kind = FieldKind::Int16,
         .readOnly = true},
        lineField("txtMessageLine1", "Line #1", offsetof(MessageRecord, Line1)),
        lineField("txtMessageLine2", "Line #2", offsetof(MessageRecord, Line2)),
        lineField("txtMessageLine3", "Line #3", offsetof(MessageRecord, Line3)),
    };
}

class MessageEditor final : public RecordEditor<MessageRecord> {
public:
    MessageEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.MessageFields,
                       {"Message", "Insert new Message with this records data?", "Insert New Message"}),
          boxes_(page, messageFields()) {
        auto* grid = new QGridLayout(&page);
        addRow(*grid, page, 0, "Line #1", {&boxes_.box("txtMessageLine1")});
        addRow(*grid, page, 1, "Line #2", {&boxes_.box("txtMessageLine2")});
        addRow(*grid, page, 2, "Line #3", {&boxes_.box("txtMessageLine3")});
        grid->addWidget(&boxes_.box("txtMessageNumber"), 3, 1, Qt::AlignLeft);  // a number, not a line of text
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(4, 1);
    }

    bool editable() const override { return true; }

private:
    void showTab() override { boxes_.show(record_); }
    std::optional<ConversionFailure> readTab(MessageRecord& edited) override { return boxes_.read(edited); }

    FieldBoxes boxes_;
};

}  // namespace

std::unique_ptr<TableEditor> makeMessageEditor(QWidget& page, EditorContext context) {
    return std::make_unique<MessageEditor>(page, context);
}

}  // namespace editors
