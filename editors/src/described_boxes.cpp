#include "described_boxes.h"

#include <QHBoxLayout>
#include <algorithm>
#include <array>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "tab_layout.h"

namespace editors {
namespace {

using records::Field;
using records::FieldKind;

bool isLine(FieldKind k) { return k == FieldKind::Number || k == FieldKind::Text || k == FieldKind::AbilityValues; }

// Every element of the boxed fields that keep says yes to, the fields in their turns.
template <class Keep>
std::vector<FieldElement> boxedElements(std::span<const Field> fields, Keep keep) {
    std::vector<const Field*> chosen;
    for (const Field& f : fields)
        if (f.box.exists() && keep(f.kind)) chosen.push_back(&f);
    std::ranges::stable_sort(chosen, {}, [](const Field* f) { return f->box.turn; });
    std::vector<FieldElement> elements;
    for (const Field* f : chosen)
        for (std::size_t k = 0; k < f->count; ++k) elements.push_back({f, k});
    return elements;
}

// The coded fields in their turns, then the ability codes.
std::vector<FieldElement> wordElements(std::span<const Field> fields) {
    auto elements = boxedElements(fields, [](FieldKind k) { return k == FieldKind::Coded; });
    std::ranges::copy(boxedElements(fields, [](FieldKind k) { return k == FieldKind::AbilityCodes; }),
                      std::back_inserter(elements));
    return elements;
}

}  // namespace

DescribedBoxes::DescribedBoxes(QWidget& page, std::span<const Field> fields, Wordless wordless,
                               const records::CodeTable* abilityTable)
    : fields_(fields),
      lines_(page, boxedElements(fields, isLine)),
      words_(page, wordElements(fields), wordless, abilityTable) {
    for (const auto& line : lines_.lines()) byName_.insert(line.box->objectName(), line.box);
    for (const auto& word : words_.words()) byName_.insert(word.box->objectName(), word.box);
}

QWidget& DescribedBoxes::widget(const QString& name) const {
    QWidget* box = byName_.value(name);
    if (!box) throw std::out_of_range("no box " + name.toStdString());
    return *box;
}

QWidget& DescribedBoxes::widget(const records::Box& box) const { return widget(describedText(box.name)); }

void DescribedBoxes::show(const RecordBytes& record) {
    lines_.show(record);
    words_.show(record);
}

std::optional<ConversionFailure> DescribedBoxes::read(RecordBytes& record) const {
    auto failure = lines_.read(record);
    if (!failure) words_.read(record);
    return failure;
}

void DescribedBoxes::place(const GridOf& gridOf) const {
    for (const Field& f : fields_) {
        if (!f.box.exists()) continue;
        const records::Box& b = f.box;
        for (std::size_t k = 0; k < f.count; ++k) {
            const int step = static_cast<int>(k);
            const int row = b.row + (b.along == records::Along::Rows ? step : 0);
            const TabGrid at = gridOf(b.page + (b.along == records::Along::Pages ? step : 0), b.group);
            QWidget& box = widget(boxName({&f, k}));
            if (b.labelled)
                at.grid->addWidget(makeLabel(*at.labelParent, describedText(b.caption), &box), row, 0);
            else
                box.setAccessibleName(boxCaption({&f, k}));
            if (b.wide)
                at.grid->addWidget(&box, row, b.column, 1, -1);
            else
                at.grid->addWidget(&box, row, b.column);
        }
    }
}

QGridLayout& layOutBesideAbilities(QWidget& page, const DescribedBoxes& boxes, int stretchColumn) {
    const std::array grids{new QGridLayout, new QGridLayout};
    boxes.place([&](int, int group) { return TabGrid{grids.at(static_cast<std::size_t>(group)), &page}; });
    for (QGridLayout* grid : grids) grid->setRowStretch(grid->rowCount(), 1);
    grids[0]->setColumnStretch(stretchColumn, 1);
    auto* columns = new QHBoxLayout(&page);
    columns->addLayout(grids[0], 1);
    columns->addLayout(grids[1]);
    return *grids[0];
}

}  // namespace editors
