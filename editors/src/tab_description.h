// What a table's tab is beyond its record's description: the words of its questions
// and status lines, whether it is saved, and how its boxes are laid out, with the
// controls of its own that no field describes.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <string_view>

#include "abilities/ability_table.h"
#include "described_boxes.h"
#include "records/tables.h"

namespace editors {

// A tab's own controls, shown with each record and read back before it is written.
class TabExtras {
public:
    virtual ~TabExtras() = default;
    virtual void show(const RecordBytes& record) = 0;
    virtual void read(RecordBytes& record) const = 0;
};

// Lays the described boxes out on the page and adds the tab's own controls, if any.
using LayOut = std::unique_ptr<TabExtras> (*)(QWidget& page, const DescribedBoxes& boxes);

struct TabDescription {
    records::TableId table;
    std::string_view noun;  // "Race": starts the status line confirmations
    bool editable;          // saved, inserted and deleted; else shown only
    std::string_view insertPrompt;
    std::string_view insertTitle;
    Wordless wordless;
    std::optional<abilities::AbilityKind> abilities;  // the names of the ability slots
    LayOut layOut;
};

const TabDescription& tabDescription(records::TableId table);

// The two tabs whose arrangement is their own.
std::unique_ptr<TabExtras> layOutSpells(QWidget& page, const DescribedBoxes& boxes);
std::unique_ptr<TabExtras> layOutMonsters(QWidget& page, const DescribedBoxes& boxes);

}  // namespace editors
