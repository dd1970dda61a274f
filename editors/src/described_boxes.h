// Every box of a tab, built and placed from its record's description: text boxes for
// numbers and texts, drop-down boxes for coded fields and for the ability codes.
#pragma once

#include <QComboBox>
#include <QGridLayout>
#include <QHash>
#include <QLineEdit>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "abilities/ability_table.h"
#include "coded_boxes.h"
#include "field_boxes.h"
#include "records/record_description.h"

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
                   std::optional<abilities::AbilityKind> abilityKind = std::nullopt);

    // Puts every box, and the label of each labelled row, at its place.
    void place(const GridOf& gridOf) const;

    QWidget& widget(const QString& name) const;
    // The box of a field of one element, as records::boxField finds it at compile time.
    QWidget& widget(const records::Box& box) const;
    std::span<QComboBox* const> abilities() const { return abilities_; }

    // The text and number boxes first, in their turns, then the word boxes.
    template <class Record>
    void show(const Record& record) {
        lines_.show(record);
        words_.show(record);
    }

    // The text and number boxes, stopping at the first that fails; then the words.
    template <class Record>
    std::optional<ConversionFailure> read(Record& record) const {
        auto failure = lines_.read(record);
        if (!failure) words_.read(record);
        return failure;
    }

private:
    std::span<const records::Field> fields_;
    FieldBoxes lines_;
    CodedBoxes words_;
    std::vector<QComboBox*> abilities_;
    QHash<QString, QWidget*> byName_;
};

// The usual tab: group 0 the record's boxes, with the room left over below them and in
// stretchColumn; group 1 the ability slots on their right. Returns group 0's grid.
QGridLayout& layOutBesideAbilities(QWidget& page, const DescribedBoxes& boxes, int stretchColumn);

}  // namespace editors
