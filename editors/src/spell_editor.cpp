// The Spells tab. Every number box is read "as a number"
// (fractions rounded half to even); the two range labels are worked out from the
// record; the description lines are stored only when the user changed them.
#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cstddef>

#include "ability_slots.h"
#include "coded_boxes.h"
#include "editor_factories.h"
#include "field_boxes.h"
#include "line_box.h"
#include "record_editor.h"
#include "records/word_tables.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::SpellRecord;

constexpr int kDigits = 5;

BoxField number(const char* name, const char* caption, std::size_t offset, FieldKind kind = FieldKind::Int16,
                int typingLimit = kDigits) {
    return {.name = name,
            .caption = caption,
            .offset = offset,
            .kind = kind,
            .typingLimit = typingLimit,
            .reading = Reading::Decimal};
}

BoxField description(const char* name, std::size_t offset) {
    return {.name = name,
            .caption = "Desc",
            .offset = offset,
            .kind = FieldKind::Text,
            .width = 50,
            .typingLimit = 50,
            .reading = Reading::NameRuleIfChanged};
}

// In the order they are read; the words, the check box and the ability names come after.
std::vector<BoxField> spellFields() {
    std::vector<BoxField> fields{
        {.name = "txtSpellNumber",
         .caption = "Number",
         .offset = offsetof(SpellRecord, Number),
         .kind = FieldKind::Int16,
         .readOnly = true,
         .reading = Reading::Decimal},
        {.name = "txtSpellName",
         .caption = "Name",
         .offset = offsetof(SpellRecord, Name),
         .kind = FieldKind::Text,
         .width = 29,
         .typingLimit = 29,
         .reading = Reading::NameRule},
        description("txtSpellDescA", offsetof(SpellRecord, DescA)),
        description("txtSpellDescB", offsetof(SpellRecord, DescB)),
        number("txtSpellEnergy", "Energy", offsetof(SpellRecord, Energy)),
        number("txtSpellLevel", "Level", offsetof(SpellRecord, Level)),
        number("txtSpellMin", "Min", offsetof(SpellRecord, Min)),
        number("txtSpellMax", "Max", offsetof(SpellRecord, Max)),
        number("txtSpellLevelCap", "Lvl Cap", offsetof(SpellRecord, LevelCap), FieldKind::Byte),
        number("txtSpellCastMsg", "Cast Msg", offsetof(SpellRecord, CastMsg)),
        number("txtSpellDifficulty", "Difficulty", offsetof(SpellRecord, Difficulty)),
        number("txtSpellMana", "Mana", offsetof(SpellRecord, Mana)),
        number("txtSpellLevelMod", "Lvl Mod", offsetof(SpellRecord, LevelMod), FieldKind::Byte),
        number("txtSpellIncrease", "Increase", offsetof(SpellRecord, Increase), FieldKind::Byte),
        {.name = "txtSpellShortName",
         .caption = "Short Name",
         .offset = offsetof(SpellRecord, ShortName),
         .kind = FieldKind::Text,
         .width = 5,
         .typingLimit = 5,
         .reading = Reading::BlankFilled},
        number("txtSpellLength", "Length", offsetof(SpellRecord, Length)),
        number("txtSpellTypeB", "Type", offsetof(SpellRecord, TypeB), FieldKind::Int16, 3),
    };
    for (BoxField& f : abilityValueFields("txtSpellabilb", offsetof(SpellRecord, AbilityValue), 10, 4)) {
        f.reading = Reading::Decimal;
        fields.push_back(std::move(f));
    }
    return fields;
}

std::vector<CodedField> spellWords() {
    return {
        {"txtSpellStyle", records::spellStyleTable(), offsetof(SpellRecord, Style), FieldKind::Int16},
        {"txtSpellTarget", records::spellTargetTable(), offsetof(SpellRecord, Target), FieldKind::Int16},
        {"txtSpellElement", records::spellElementTable(), offsetof(SpellRecord, Element), FieldKind::Int16},
        {"txtSpellTypeA", records::spellMagicTypeTable(), offsetof(SpellRecord, TypeA), FieldKind::Int16},
    };
}

// "(min: 5 max: 20 + (2*(Level / 3))"
QString rangeFormula(const SpellRecord& spell) {
    return QStringLiteral("(min: %1 max: %2 + (%3*(Level / %4))")
        .arg(spell.Min)
        .arg(spell.Max)
        .arg(spell.LevelMod)
        .arg(spell.Increase);
}

// The total at the level cap, the division kept exact; up to 15 significant digits.
QString rangeTotal(const SpellRecord& spell) {
    if (spell.Increase == 0) return QStringLiteral("(Total: %1)").arg(spell.Max);
    const double total = spell.Max + spell.LevelMod * (static_cast<double>(spell.LevelCap) / spell.Increase);
    return QStringLiteral("(Total: ") + QString::number(total, 'g', 15) + QLatin1Char(')');
}

class SpellEditor final : public RecordEditor<SpellRecord> {
public:
    SpellEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.SpellFields,
                       {"Spell", "Insert new spell with this records data?", "Insert New Spell"}),
          boxes_(page, spellFields()),
          words_(page, spellWords(), Wordless::Number),
          abilities_(makeAbilityBoxes(page, abilities::AbilityKind::Spell, "txtSpellabila", 10)),
          maxRoll_(new QCheckBox("Max Roll", &page)),
          msgType_(makeLineBox(page, "Text1", 0, false)),
          rangeFormula_(makeLabel(page, {})),
          rangeTotal_(makeLabel(page, {})) {
        maxRoll_->setObjectName("CheckSpellMaxRoll");
        rangeFormula_->setObjectName("lblSpellRangeA");
        rangeTotal_->setObjectName("lblSpellRange");
        layOut(page);
    }

    bool editable() const override { return true; }

private:
    void showTab() override {
        boxes_.show(record_);
        rangeFormula_->setText(rangeFormula(record_));
        rangeTotal_->setText(rangeTotal(record_));
        words_.show(record_);
        showMaxRoll();
        GetSpellAbilA(abilities_, record_);
    }

    std::optional<ConversionFailure> readTab(SpellRecord& edited) override {
        auto failure = boxes_.read(edited);
        if (failure) return failure;
        words_.read(edited);
        readMaxRoll(edited);
        SaveSpellAbilA(abilities_, edited);
        return std::nullopt;
    }

    // Ticked for 1, clear for 0; any other value shows the third state, which keeps it.
    void showMaxRoll() {
        if (record_.MaxRoll > 1) {
            maxRoll_->setCheckState(Qt::PartiallyChecked);
            return;
        }
        maxRoll_->setTristate(false);
        maxRoll_->setCheckState(record_.MaxRoll == 1 ? Qt::Checked : Qt::Unchecked);
    }

    void readMaxRoll(SpellRecord& spell) const {
        if (maxRoll_->checkState() != Qt::PartiallyChecked)
            spell.MaxRoll = maxRoll_->checkState() == Qt::Checked ? 1 : 0;
    }

    void layOut(QWidget& page) {
        auto* left = new QGridLayout;
        int row = 0;
        addWideRow(*left, page, row++, "Name", &boxes_.box("txtSpellName"));
        for (const auto& [caption, name] : {std::pair{"Short Name", "txtSpellShortName"},
                                            {"Level", "txtSpellLevel"},
                                            {"Mana", "txtSpellMana"},
                                            {"Length", "txtSpellLength"},
                                            {"Difficulty", "txtSpellDifficulty"},
                                            {"Energy", "txtSpellEnergy"},
                                            {"Cast Msg", "txtSpellCastMsg"}})
            addRow(*left, page, row++, caption, {&boxes_.box(name)});
        addRow(*left, page, row++, "Target", {&words_.box("txtSpellTarget")});
        addRow(*left, page, row++, "Msg Type", {msgType_});
        left->setRowStretch(row, 1);

        auto* right = new QGridLayout;
        row = 0;
        addRow(*right, page, row++, "Style", {&words_.box("txtSpellStyle")});
        addRow(*right, page, row++, "Element", {&words_.box("txtSpellElement")});
        addRow(*right, page, row++, "Type", {&words_.box("txtSpellTypeA"), &boxes_.box("txtSpellTypeB")});
        for (const auto& [caption, name] : {std::pair{"Min", "txtSpellMin"},
                                            {"Max", "txtSpellMax"},
                                            {"Lvl Cap", "txtSpellLevelCap"},
                                            {"Lvl Mod", "txtSpellLevelMod"},
                                            {"Increase", "txtSpellIncrease"}})
            addRow(*right, page, row++, caption, {&boxes_.box(name)});
        addRow(*right, page, row++, {}, {maxRoll_});
        right->setRowStretch(row, 1);

        auto* below = new QGridLayout;
        addWideRow(*below, page, 0, "Desc", &boxes_.box("txtSpellDescA"));
        addWideRow(*below, page, 1, {}, &boxes_.box("txtSpellDescB"));
        addWideRow(*below, page, 2, {}, rangeFormula_);
        addWideRow(*below, page, 3, {}, rangeTotal_);
        addRow(*below, page, 4, {}, {&boxes_.box("txtSpellNumber")});
        below->setColumnStretch(2, 1);

        auto* top = new QHBoxLayout;
        top->addLayout(left);
        top->addLayout(right);
        top->addStretch(1);
        auto* fields = new QVBoxLayout;
        fields->addLayout(top);
        fields->addLayout(below);
        fields->addStretch(1);

        auto* columns = new QHBoxLayout(&page);
        columns->addLayout(fields, 1);
        columns->addLayout(abilityColumn(abilities_, boxes_.array("txtSpellabilb", 10)));
    }

    FieldBoxes boxes_;
    CodedBoxes words_;
    std::vector<QComboBox*> abilities_;
    QCheckBox* maxRoll_;
    QLineEdit* msgType_;  // "Msg Type": a plain box that no routine reads or writes
    QLabel* rangeFormula_;
    QLabel* rangeTotal_;
};

}  // namespace

std::unique_ptr<TableEditor> makeSpellEditor(QWidget& page, EditorContext context) {
    return std::make_unique<SpellEditor>(page, context);
}

}  // namespace editors
