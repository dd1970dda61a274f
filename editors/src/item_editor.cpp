// The Items tab: the number and name of an item, shown only.
#include <cstddef>

#include "editor_factories.h"
#include "field_boxes.h"
#include "record_editor.h"
#include "records/item_record.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::ItemRecord;

std::vector<BoxField> itemFields() {
    return {
        {.name = "txtItemNumber",
         .caption = "Number",
         .offset = offsetof(ItemRecord, Number),
         .kind = FieldKind::Int32,
         .readOnly = true,
         .reading = Reading::ShowOnly},
        {.name = "txtItemName",
         .caption = "Name",
         .offset = offsetof(ItemRecord, Name),
         .kind = FieldKind::Text,
         .width = 29,
         .typingLimit = 29,
         .reading = Reading::ShowOnly},
    };
}

class ItemEditor final : public RecordEditor<ItemRecord> {
public:
    ItemEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.ItemFields, {"Item"}), boxes_(page, itemFields()) {
        auto* grid = new QGridLayout(&page);
        addRow(*grid, page, 0, "Name", {&boxes_.box("txtItemName")});
        addRow(*grid, page, 1, {}, {&boxes_.box("txtItemNumber")});
        grid->setColumnStretch(2, 1);
        grid->setRowStretch(2, 1);
    }

    bool editable() const override { return false; }

private:
    void showTab() override { boxes_.show(record_); }

    FieldBoxes boxes_;
};

}  // namespace

std::unique_ptr<TableEditor> makeItemEditor(QWidget& page, EditorContext context) {
    return std::make_unique<ItemEditor>(page, context);
}

}  // namespace editors
