// The Classes tab. Three boxes show their field shifted or summed: the maximum hit
// points (MinHP + HPRange), "Exp %" (Exp + 100) and "Combat" (Combat - 2); the update
// reads them as numbers and takes the shift back.
#include "ability_slots.h"
#include "described_boxes.h"
#include "editor_factories.h"
#include "record_editor.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::ClassRecord;

class ClassEditor final : public RecordEditor<ClassRecord> {
public:
    ClassEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.ClassFields,
                       {"Class", "Insert new class with this records data?", "Insert New Class"}),
          boxes_(page, records::kClassDescription, Wordless::Number, abilities::AbilityKind::Class) {
        // The hit points read "minimum - maximum".
        constexpr records::Box hp = records::boxField(records::kClassDescription, "txtClassMinHP").box;
        layOutBesideAbilities(page, boxes_, 4).addWidget(makeLabel(page, "-"), hp.row, hp.column + 1);
    }

    bool editable() const override { return true; }

private:
    void showTab() override {
        boxes_.show(record_);
        GetClassAbilA(boxes_.abilities(), record_);
    }

    std::optional<ConversionFailure> readTab(ClassRecord& edited) override {
        auto failure = boxes_.read(edited);
        if (!failure) SaveClassAbilA(boxes_.abilities(), edited);
        return failure;
    }

    DescribedBoxes boxes_;
};

}  // namespace

std::unique_ptr<TableEditor> makeClassEditor(QWidget& page, EditorContext context) {
    return std::make_unique<ClassEditor>(page, context);
}

}  // namespace editors
