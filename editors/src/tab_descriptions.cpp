#include <algorithm>
#include <array>

#include "records/class_record.h"
#include "records/message_record.h"
#include "tab_description.h"
#include "tab_layout.h"

namespace editors {
namespace {

using abilities::AbilityKind;
using records::TableId;

std::unique_ptr<TabExtras> layOutRaces(QWidget& page, const DescribedBoxes& boxes) {
    layOutBesideAbilities(page, boxes, 3);
    return nullptr;
}

std::unique_ptr<TabExtras> layOutClasses(QWidget& page, const DescribedBoxes& boxes) {
    // The hit points read "minimum - maximum".
    constexpr records::Box hp = records::boxField(records::kClassDescription, "txtClassMinHP").box;
    layOutBesideAbilities(page, boxes, 4).addWidget(makeLabel(page, "-"), hp.row, hp.column + 1);
    return nullptr;
}

// One grid, the room left over below it and in stretchColumn.
QGridLayout& layOutGrid(QWidget& page, const DescribedBoxes& boxes, int stretchColumn) {
    auto* grid = new QGridLayout(&page);
    boxes.place([&](int, int) { return TabGrid{grid, &page}; });
    grid->setColumnStretch(stretchColumn, 1);
    grid->setRowStretch(grid->rowCount(), 1);
    return *grid;
}

std::unique_ptr<TabExtras> layOutItems(QWidget& page, const DescribedBoxes& boxes) {
    layOutGrid(page, boxes, 2);
    return nullptr;
}

std::unique_ptr<TabExtras> layOutMessages(QWidget& page, const DescribedBoxes& boxes) {
    // A number, not a line of text: as wide as a number box.
    layOutGrid(page, boxes, 1)
        .setAlignment(&boxes.widget(records::boxField(records::kMessageDescription, "txtMessageNumber").box),
                      Qt::AlignLeft);
    return nullptr;
}

constexpr std::array<TabDescription, 6> kTabs{{
    {TableId::Races, "Race", true, "Insert new race with this records data?", "Insert New Race", Wordless::Number,
     AbilityKind::Race, layOutRaces},
    {TableId::Classes, "Class", true, "Insert new class with this records data?", "Insert New Class", Wordless::Number,
     AbilityKind::Class, layOutClasses},
    {TableId::Spells, "Spell", true, "Insert new spell with this records data?", "Insert New Spell", Wordless::Number,
     AbilityKind::Spell, layOutSpells},
    {TableId::Monsters, "Monster", false, {}, {}, Wordless::Unknown, AbilityKind::Monster, layOutMonsters},
    {TableId::Items, "Item", false, {}, {}, Wordless::Number, std::nullopt, layOutItems},
    {TableId::Messages, "Message", true, "Insert new Message with this records data?", "Insert New Message",
     Wordless::Number, std::nullopt, layOutMessages},
}};
static_assert(std::ranges::all_of(records::kTableFiles, [](const records::TableFile& f) {
    return kTabs[static_cast<std::size_t>(f.id)].table == f.id;
}));

}  // namespace

const TabDescription& tabDescription(TableId table) { return kTabs[static_cast<std::size_t>(table)]; }

}  // namespace editors
