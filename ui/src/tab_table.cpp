#include "ui/tab_table.h"

#include <array>

namespace ui {

using records::TableId;

std::span<const TabEntry> tabEntries() {
    static const std::array<TabEntry, 11> entries{{
        {QStringLiteral("Races"), TableId::Races, {}},
        {QStringLiteral("Classes"), TableId::Classes, {}},
        {QStringLiteral("Spells"), TableId::Spells, {}},
        {QStringLiteral("Monsters"), TableId::Monsters, QStringLiteral("Monsters")},
        {QStringLiteral("Items"), TableId::Items, QStringLiteral("Items")},
        {QStringLiteral("Messages"), TableId::Messages, {}},
        {QStringLiteral("Text Blocks"), std::nullopt, QStringLiteral("Text Blocks")},
        {QStringLiteral("Rooms"), std::nullopt, QStringLiteral("Rooms")},
        {QStringLiteral("Shops/Trainers"), std::nullopt, QStringLiteral("Shops")},
        {QStringLiteral("Users"), std::nullopt, QStringLiteral("Users")},
        {QStringLiteral("Gangs"), std::nullopt, QStringLiteral("Gangs")},
    }};
    return entries;
}

QString unfinishedText(const TabEntry& entry) {
    return QStringLiteral("Sorry ") + entry.unfinishedName + QStringLiteral(" are not finished.");
}

}  // namespace ui
