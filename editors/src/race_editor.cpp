// The Races tab: the boxes of the race record's description and the ability slots.
#include "ability_slots.h"
#include "described_boxes.h"
#include "editor_factories.h"
#include "record_editor.h"

namespace editors {
namespace {

using records::RaceRecord;

class RaceEditor final : public RecordEditor<RaceRecord> {
public:
    RaceEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.RaceFields,
                       {"Race", "Insert new race with this records data?", "Insert New Race"}),
          boxes_(page, records::kRaceDescription, Wordless::Number, abilities::AbilityKind::Race) {
        layOutBesideAbilities(page, boxes_, 3);
    }

    bool editable() const override { return true; }

private:
    void showTab() override {
        boxes_.show(record_);
        GetRaceAbilA(boxes_.abilities(), record_);
    }

    std::optional<ConversionFailure> readTab(RaceRecord& edited) override {
        auto failure = boxes_.read(edited);
        if (!failure) SaveRaceAbilA(boxes_.abilities(), edited);
        return failure;
    }

    DescribedBoxes boxes_;
};

}  // namespace

std::unique_ptr<TableEditor> makeRaceEditor(QWidget& page, EditorContext context) {
    return std::make_unique<RaceEditor>(page, context);
}

}  // namespace editors
