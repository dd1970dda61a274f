// One editor per table: it builds its tab's controls, shows a packed row on them
// and, for the tables that can be saved, builds the record back from them.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "editors/dialogs.h"
#include "records/tables.h"
#include "records/tarrow_data_fields.h"
#include "store/record_store.h"

namespace editors {

// What an editor may touch besides its own tab.
struct EditorContext {
    const store::RecordStore& store;
    store::TableFileBlock& block;
    const records::TarrowDataFields& lists;
    QLineEdit& status;  // txtStatus
    Dialogs& dialogs;
};

class TableEditor {
public:
    virtual ~TableEditor() = default;

    // ShowRace, ShowClass ...: unpacks the row into the record structure and fills the tab.
    virtual void show(std::span<const std::uint8_t> row) = 0;

    // Whether the table is saved, inserted and deleted (races, classes, spells, messages).
    virtual bool editable() const = 0;

    // RaceUpdate, ClassUpdate ...: reads the tab into the structure, packs it, writes it
    // with Update over the current record, shows it again and confirms in the status line.
    // Does nothing for a table that is not editable.
    virtual void update() = 0;

    // The record number and the name field of the structure (empty for messages).
    virtual std::int32_t recordNumber() const = 0;
    virtual void setRecordNumber(std::int32_t number) = 0;
    virtual std::span<const char> nameField() const = 0;

    // RaceStructToRow ...: packs the structure into the table's packed row buffer.
    virtual void structToRow() = 0;
};

// Builds the editor of a table, its controls laid out on page.
std::unique_ptr<TableEditor> makeTableEditor(records::TableId table, QWidget& page, EditorContext context);

}  // namespace editors
