#include "described_boxes.h"

#include <QHBoxLayout>
#include <algorithm>
#include <array>
#include <stdexcept>

#include "ability_slots.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::Field;

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The box of element k: name_k, or name plus the letter when lettered.
QString elementName(const Field& f, std::size_t k) {
    if (f.count == 1) return text(f.box.name);
    if (f.box.lettered) return text(f.box.name) + QLatin1Char(static_cast<char>('A' + k));
    return text(f.box.name) + QLatin1Char('_') + QString::number(k);
}

FieldKind boxKind(const Field& f) {
    if (f.kind == records::FieldKind::Text) return FieldKind::Text;
    return f.width == 1 ? FieldKind::Byte : f.width == 2 ? FieldKind::Int16 : FieldKind::Int32;
}

// The fields with boxes of the kinds given, in their turns.
template <class Keep>
std::vector<const Field*> boxed(std::span<const Field> fields, Keep keep) {
    std::vector<const Field*> chosen;
    for (const Field& f : fields)
        if (f.box.exists() && keep(f.kind)) chosen.push_back(&f);
    std::ranges::stable_sort(chosen, {}, [](const Field* f) { return f->box.turn; });
    return chosen;
}

std::vector<BoxField> lineFields(std::span<const Field> fields) {
    using records::FieldKind;
    std::vector<BoxField> lines;
    const auto isLine = [](FieldKind k) {
        return k == FieldKind::Number || k == FieldKind::Text || k == FieldKind::AbilityValues;
    };
    for (const Field* f : boxed(fields, isLine))
        for (std::size_t k = 0; k < f->count; ++k) {
            const records::Box& b = f->box;
            lines.push_back({.name = elementName(*f, k),
                             .caption = f->kind == FieldKind::AbilityValues
                                            ? QStringLiteral("Ability %1 value").arg(k + 1)
                                            : text(b.caption),
                             .offset = f->elementOffset(k),
                             .kind = boxKind(*f),
                             .width = f->kind == FieldKind::Text ? static_cast<int>(f->width) : 0,
                             .typingLimit = b.typingLimit,
                             .readOnly = b.readOnly,
                             .reading = b.reading,
                             .shownShift = b.shownShift,
                             .addedBox = text(b.addedBox)});
        }
    return lines;
}

std::vector<CodedField> codedFields(std::span<const Field> fields) {
    std::vector<CodedField> words;
    for (const Field* f : boxed(fields, [](records::FieldKind k) { return k == records::FieldKind::Coded; }))
        for (std::size_t k = 0; k < f->count; ++k)
            words.push_back({elementName(*f, k), f->words(), f->elementOffset(k), boxKind(*f)});
    return words;
}

}  // namespace

DescribedBoxes::DescribedBoxes(QWidget& page, std::span<const Field> fields, Wordless wordless,
                               std::optional<abilities::AbilityKind> abilityKind)
    : fields_(fields), lines_(page, lineFields(fields)), words_(page, codedFields(fields), wordless) {
    const auto codes = std::ranges::find(fields, records::FieldKind::AbilityCodes, &Field::kind);
    if (abilityKind && codes != fields.end())
        abilities_ = makeAbilityBoxes(page, *abilityKind, text(codes->box.name), static_cast<int>(codes->count));
    for (std::size_t i = 0; i < lines_.boxes().size(); ++i) byName_.insert(lines_.fields()[i].name, lines_.boxes()[i]);
    for (std::size_t i = 0; i < words_.boxes().size(); ++i) byName_.insert(words_.fields()[i].name, words_.boxes()[i]);
    for (QComboBox* box : abilities_) byName_.insert(box->objectName(), box);
}

QWidget& DescribedBoxes::widget(const QString& name) const {
    QWidget* box = byName_.value(name);
    if (!box) throw std::out_of_range("no box " + name.toStdString());
    return *box;
}

QWidget& DescribedBoxes::widget(const records::Box& box) const { return widget(text(box.name)); }

void DescribedBoxes::place(const GridOf& gridOf) const {
    for (const Field& f : fields_) {
        if (!f.box.exists()) continue;
        const records::Box& b = f.box;
        for (std::size_t k = 0; k < f.count; ++k) {
            const int step = static_cast<int>(k);
            const int row = b.row + (b.along == records::Along::Rows ? step : 0);
            const TabGrid at = gridOf(b.page + (b.along == records::Along::Pages ? step : 0), b.group);
            QWidget& box = widget(elementName(f, k));
            if (b.labelled) at.grid->addWidget(makeLabel(*at.labelParent, text(b.caption), &box), row, 0);
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
