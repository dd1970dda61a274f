// The Races tab: its boxes, their places and the ability slots.
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <array>
#include <cstddef>

#include "ability_slots.h"
#include "editor_factories.h"
#include "field_boxes.h"
#include "record_editor.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::RaceRecord;

// The attribute rows, top to bottom, each a minimum left of a maximum.
struct Attribute {
    const char* caption;
    const char* minBox;
    std::size_t minOffset;
    const char* maxBox;
    std::size_t maxOffset;
};

constexpr std::array<Attribute, 6> kAttributes{{
    {"Strength", "txtRaceMinStrength", offsetof(RaceRecord, MinStrength), "txtRaceMaxStrength",
     offsetof(RaceRecord, MaxStrength)},
    {"Agility", "txtRaceMinAgility", offsetof(RaceRecord, MinAgility), "txtRaceMaxAgility",
     offsetof(RaceRecord, MaxAgility)},
    {"Intellect", "txtRaceMinIntellect", offsetof(RaceRecord, MinIntellect), "txtRaceMaxIntellect",
     offsetof(RaceRecord, MaxIntellect)},
    {"Health", "txtRaceMinHealth", offsetof(RaceRecord, MinHealth), "txtRaceMaxHealth",
     offsetof(RaceRecord, MaxHealth)},
    {"Willpower", "txtRaceMinWillpower", offsetof(RaceRecord, MinWillpower), "txtRaceMaxWillpower",
     offsetof(RaceRecord, MaxWillpower)},
    {"Charm", "txtRaceMinCharm", offsetof(RaceRecord, MinCharm), "txtRaceMaxCharm", offsetof(RaceRecord, MaxCharm)},
}};

// The single number rows below the attributes.
constexpr std::array<std::pair<const char*, const char*>, 3> kSingles{
    {{"Exp Chart", "txtRaceExpChart"}, {"CP", "txtRaceCP"}, {"HP Bonus", "txtRaceHPBonus"}}};

constexpr int kDigits = 3;

BoxField number(const char* name, const char* caption, std::size_t offset) {
    return {.name = name, .caption = caption, .offset = offset, .kind = FieldKind::Int16, .typingLimit = kDigits};
}

// In the order they are read: number, name, the three singles, the minimums, the maximums, the values.
std::vector<BoxField> raceFields() {
    std::vector<BoxField> fields{
        {.name = "txtRaceNumber",
         .caption = "Number",
         .offset = offsetof(RaceRecord, Number),
         .kind = FieldKind::Int16,
         .readOnly = true},
        {.name = "txtRaceName",
         .caption = "Name",
         .offset = offsetof(RaceRecord, Name),
         .kind = FieldKind::Text,
         .width = 29,
         .typingLimit = 29,
         .reading = Reading::NameRule},
        number("txtRaceExpChart", "Exp Chart", offsetof(RaceRecord, ExpChart)),
        number("txtRaceHPBonus", "HP Bonus", offsetof(RaceRecord, HPBonus)),
        number("txtRaceCP", "CP", offsetof(RaceRecord, CP)),
    };
    for (const Attribute& a : kAttributes) fields.push_back(number(a.minBox, a.caption, a.minOffset));
    for (const Attribute& a : kAttributes) fields.push_back(number(a.maxBox, a.caption, a.maxOffset));
    for (BoxField& f : abilityValueFields("txtRaceabilb", offsetof(RaceRecord, AbilityValue), 10, kDigits))
        fields.push_back(std::move(f));
    return fields;
}

class RaceEditor final : public RecordEditor<RaceRecord> {
public:
    RaceEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.RaceFields,
                       {"Race", "Insert new race with this records data?", "Insert New Race"}),
          boxes_(page, raceFields()),
          abilities_(makeAbilityBoxes(page, abilities::AbilityKind::Race, "txtRaceabila", 10)) {
        layOut(page);
    }

    bool editable() const override { return true; }

private:
    void showTab() override {
        boxes_.show(record_);
        GetRaceAbilA(abilities_, record_);
    }

    std::optional<ConversionFailure> readTab(RaceRecord& edited) override {
        auto failure = boxes_.read(edited);
        if (!failure) SaveRaceAbilA(abilities_, edited);
        return failure;
    }

    void layOut(QWidget& page) {
        auto* fields = new QGridLayout;
        int row = 0;
        addWideRow(*fields, page, row++, "Name", &boxes_.box("txtRaceName"));
        for (const Attribute& a : kAttributes)
            addRow(*fields, page, row++, a.caption, {&boxes_.box(a.minBox), &boxes_.box(a.maxBox)});
        for (const auto& [caption, name] : kSingles) addRow(*fields, page, row++, caption, {&boxes_.box(name)});
        addRow(*fields, page, row++, {}, {&boxes_.box("txtRaceNumber")});
        fields->setRowStretch(row, 1);
        fields->setColumnStretch(3, 1);

        auto* columns = new QHBoxLayout(&page);
        columns->addLayout(fields, 1);
        columns->addLayout(abilityColumn(abilities_, boxes_.array("txtRaceabilb", 10)));
    }

    FieldBoxes boxes_;
    std::vector<QComboBox*> abilities_;
};

}  // namespace

std::unique_ptr<TableEditor> makeRaceEditor(QWidget& page, EditorContext context) {
    return std::make_unique<RaceEditor>(page, context);
}

}  // namespace editors
