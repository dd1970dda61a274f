// The Races tab: the boxes of the race record's description and the ability slots.
#include <QHBoxLayout>

#include "ability_slots.h"
#include "described_boxes.h"
#include "editor_factories.h"
#include "record_editor.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::RaceRecord;

class RaceEditor final : public RecordEditor<RaceRecord> {
public:
    RaceEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.RaceFields,
                       {"Race", "Insert new race with this records data?", "Insert New Race"}),
          boxes_(page, records::kRaceDescription, Wordless::Number, abilities::AbilityKind::Race) {
        layOut(page);
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

    // Group 0 the attributes and single boxes, group 1 the ability slots to their right.
    void layOut(QWidget& page) {
        const std::array grids{new QGridLayout, new QGridLayout};
        boxes_.place([&](int, int group) { return TabGrid{grids[group], &page}; });
        grids[0]->setRowStretch(grids[0]->rowCount(), 1);
        grids[0]->setColumnStretch(3, 1);
        grids[1]->setRowStretch(grids[1]->rowCount(), 1);

        auto* columns = new QHBoxLayout(&page);
        columns->addLayout(grids[0], 1);
        columns->addLayout(grids[1]);
    }

    DescribedBoxes boxes_;
};

}  // namespace

std::unique_ptr<TableEditor> makeRaceEditor(QWidget& page, EditorContext context) {
    return std::make_unique<RaceEditor>(page, context);
}

}  // namespace editors
