// Every box of a tab, built and placed from its record's description: one-line boxes
// for numbers and texts, drop-down boxes for coded fields and ability codes.
#pragma once

#include <QGridLayout>
#include <QHash>
#include <functional>
#include <optional>

#include "line_boxes.h"
#include "word_boxes.h"

namespace editors {

// A grid of a tab and the widget its labels belong to.
struct TabGrid {
    QGridLayout* grid;
    QWidget* labelParent;
};

// The grid of a page and group of the description.
using GridOf = std::function<TabGrid(int page, int group)>;

class DescribedBoxes {
public:
    DescribedBoxes(QWidget& page, std::span<const records::Field> fields, Wordless wordless,
                   const records::CodeTable* abilityTable);

    // Puts every box at its place with, where the description gives it one, its label
    // beside it; a box without a label is named for screen readers by its caption.
    void place(const GridOf& gridOf) const;

    QWidget& widget(const QString& name) const;
    // The box of a field of one element, as records::boxField finds it at compile time.
    QWidget& widget(const records::Box& box) const;

    // The text and number boxes first, in their turns, then the word boxes.
    void show(const RecordBytes& record);

    // The text and number boxes, stopping at the first that fails; then the words.
    std::optional<ConversionFailure> read(RecordBytes& record) const;

private:
    std::span<const records::Field> fields_;
    LineBoxes lines_;
    WordBoxes words_;
    QHash<QString, QWidget*> byName_;
};

// The usual tab: group 0 the record's boxes, with the room left over below them and in
// stretchColumn; group 1 the ability slots on their right. Returns group 0's grid.
QGridLayout& layOutBesideAbilities(QWidget& page, const DescribedBoxes& boxes, int stretchColumn);

}  // namespace editors
