// The Items tab: the number and name of an item, shown only.

#include "described_boxes.h"
#include "editor_factories.h"
#include "record_editor.h"
#include "records/item_record.h"

namespace editors {
namespace {

using records::ItemRecord;

class ItemEditor final : public RecordEditor<ItemRecord> {
public:
    ItemEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.ItemFields, {"Item"}),
          boxes_(page, records::kItemDescription, Wordless::Number) {
        auto* grid = new QGridLayout(&page);
        boxes_.place([&](int, int) { return TabGrid{grid, &page}; });
        grid->setColumnStretch(2, 1);
        grid->setRowStretch(grid->rowCount(), 1);
    }

    bool editable() const override { return false; }

private:
    void showTab() override { boxes_.show(record_); }

    DescribedBoxes boxes_;
};

}  // namespace

std::unique_ptr<TableEditor> makeItemEditor(QWidget& page, EditorContext context) {
    return std::make_unique<ItemEditor>(page, context);
}

}  // namespace editors
