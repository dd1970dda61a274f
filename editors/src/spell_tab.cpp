// The Spells tab: its four groups of boxes, the check box "Max Roll", the box
// "Msg Type" that nothing reads or writes, and the two range labels worked out from
// the record.
#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "line_box.h"
#include "records/spell_record.h"
#include "tab_description.h"
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

class SpellExtras final : public TabExtras {
public:
    explicit SpellExtras(QWidget& page)
        : maxRoll_(new QCheckBox("Max Roll", &page)),
          msgType_(makeLineBox(page, "Text1", 0, false)),
          rangeFormula_(makeLabel(page, {})),
          rangeTotal_(makeLabel(page, {})) {
        maxRoll_->setObjectName("CheckSpellMaxRoll");
        rangeFormula_->setObjectName("lblSpellRangeA");
        rangeTotal_->setObjectName("lblSpellRange");
    }

    void show(const RecordBytes& record) override {
        const auto spell = record.as<SpellRecord>();
        rangeFormula_->setText(rangeFormula(spell));
        rangeTotal_->setText(rangeTotal(spell));
        // Ticked for 1, clear for 0; any other value shows the third state, which keeps it.
        if (spell.MaxRoll > 1) {
            maxRoll_->setCheckState(Qt::PartiallyChecked);
            return;
        }
        maxRoll_->setTristate(false);
        maxRoll_->setCheckState(spell.MaxRoll == 1 ? Qt::Checked : Qt::Unchecked);
    }

    void read(RecordBytes& record) const override {
        if (maxRoll_->checkState() != Qt::PartiallyChecked)
            record.setNumber(kMaxRoll, maxRoll_->checkState() == Qt::Checked ? 1 : 0);
    }

    // Groups: 0 the left column, 1 the right column, 2 below them, 3 the ability slots.
    void layOut(QWidget& page, const DescribedBoxes& boxes) const {
        const std::array grids{new QGridLayout, new QGridLayout, new QGridLayout, new QGridLayout};
        boxes.place([&](int, int group) { return TabGrid{grids.at(static_cast<std::size_t>(group)), &page}; });
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

private:
    static constexpr FieldElement kMaxRoll{&records::namedField(records::kSpellDescription, "MaxRoll")};

    QCheckBox* maxRoll_;
    QLineEdit* msgType_;
    QLabel* rangeFormula_;
    QLabel* rangeTotal_;
};

}  // namespace

std::unique_ptr<TabExtras> layOutSpells(QWidget& page, const DescribedBoxes& boxes) {
    auto extras = std::make_unique<SpellExtras>(page);
    extras->layOut(page, boxes);
    return extras;
}

}  // namespace editors
