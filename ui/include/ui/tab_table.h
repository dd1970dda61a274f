// The tabs of SSTab1 in order. A tab's caption is its table's identity: every
// command finds its table by comparing the selected caption with these.
#pragma once

#include <QString>
#include <optional>
#include <span>

#include "records/tables.h"

namespace ui {

struct TabEntry {
    QString caption;
    std::optional<records::TableId> table;  // none: no data file behind the tab
    QString unfinishedName;                 // in "Sorry <name> are not finished."; empty for editable tables
};

std::span<const TabEntry> tabEntries();

// "Sorry Rooms are not finished." and the like.
QString unfinishedText(const TabEntry& entry);

}  // namespace ui
