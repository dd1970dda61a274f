// The editor of a table: it builds its tab's controls from the table's description,
// shows a packed row on them and, for the tables that can be saved, builds the record
// back from them.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "editors/dialogs.h"
#include "records/tables.h"
#include "store/record_store.h"
#include "world/name_lookup.h"

namespace editors {

// What an editor may touch besides its own tab.
struct EditorContext {
    const store::RecordStore& store;
    store::TableFileBlock& block;
    QLineEdit& status;  // txtStatus
    Dialogs& dialogs;
    // Names the records a shown record refers to, through blocks of its own; none:
    // the boxes beside the references stay empty.
    world::NameLookup* names = nullptr;
};

class TableEditor {
public:
    virtual ~TableEditor() = default;

    // Unpacks the row into the record structure and fills the tab.
    virtual void show(std::span<const std::uint8_t> row) = 0;

    // Whether the table is saved, inserted and deleted (races, classes, spells, messages).
    virtual bool editable() const = 0;

    // Reads the tab into the structure, packs it, writes it
    // with Update over the current record, shows it again and confirms in the status line.
    // Does nothing for a table that is not editable. A refused write leaves the
    // structure and the file block as they were.
    virtual void update() = 0;

    // Insert: asks, then adds a copy of the structure as a new record, shows it and
    // confirms. Delete: asks, then removes the current record and shows the first.
    // A refused call changes nothing but the report, except that a refused Insert leaves
    // number 0 in the structure. Both do nothing for a table that is not editable.
    virtual void insert() = 0;
    virtual void remove() = 0;

    // The record number of the structure.
    virtual std::int32_t recordNumber() const = 0;
};

// Builds the editor of a table, its controls laid out on page.
std::unique_ptr<TableEditor> makeTableEditor(records::TableId table, QWidget& page, EditorContext context);

}  // namespace editors
