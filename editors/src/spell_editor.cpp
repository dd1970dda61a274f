// The Spells tab. Every number box is read "as a number"
// (fractions rounded half to even); the two range labels are worked out from the
// record; the description lines are stored only when the user changed them.
#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ability_slots.h"
#include "described_boxes.h"
#include "editor_factories.h"
#include "line_box.h"
#include "record_editor.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::SpellRecord;

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
          boxes_(page, records::kSpellDescription, Wordless::Number, abilities::AbilityKind::Spell),
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
        showMaxRoll();
        GetSpellAbilA(boxes_.abilities(), record_);
    }

    std::optional<ConversionFailure> readTab(SpellRecord& edited) override {
        auto failure = boxes_.read(edited);
        if (failure) return failure;
        readMaxRoll(edited);
        SaveSpellAbilA(boxes_.abilities(), edited);
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

    // Groups: 0 the left column, 1 the right column, 2 below them, 3 the ability slots.
    void layOut(QWidget& page) {
        const std::array grids{new QGridLayout, new QGridLayout, new QGridLayout, new QGridLayout};
        boxes_.place([&](int, int group) { return TabGrid{grids.at(static_cast<std::size_t>(group)), &page}; });
        auto* left = grids[0];
        addRow(*left, page, left->rowCount(), "Msg Type", {msgType_});
        left->setRowStretch(left->rowCount(), 1);
        auto* right = grids[1];
        addRow(*right, page, right->rowCount(), {}, {maxRoll_});
        right->setRowStretch(right->rowCount(), 1);
        // The range of the spell's effect under its description.
        auto* below = grids[2];
        constexpr int descB = records::boxField(records::kSpellDescription, "txtSpellDescB").box.row;
        addWideRow(*below, page, descB + 1, {}, rangeFormula_);
        addWideRow(*below, page, descB + 2, {}, rangeTotal_);
        below->setColumnStretch(2, 1);
        grids[3]->setRowStretch(grids[3]->rowCount(), 1);

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
        columns->addLayout(grids[3]);
    }

    DescribedBoxes boxes_;
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
