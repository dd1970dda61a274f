// The six table editors on their pages in one shown window, and for each table the
// texts its display routine puts on the widgets for two records, so that showing
// a record through the editor can be set against putting the same texts on the
// same widgets directly; and saving a record through the editor against writing the
// same row and putting the same texts directly.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "editors/table_editor.h"
#include "records/tables.h"
#include "store/record_store.h"
#include "store/table_blocks.h"
#include "ui/answering_dialogs.h"
#include "world/name_lookup.h"

namespace editor_bench {

class ShowBench {
public:
    ShowBench();
    ~ShowBench();

    // Brings the table's page to the front.
    void select(records::TableId table);
    // Shows the table's first demo record, then its second, through the table's editor.
    void showThroughEditor(records::TableId table);
    // Puts the texts the editor showed for the same two records on the same widgets.
    void setTextsDirectly(records::TableId table);

    // Opens the table's file and shows its first record, as start-up does.
    bool openTable(records::TableId table);
    // Shows the record the table's file last read again, as the tab shows it after a read.
    void showRead(records::TableId table);
    // Saves the record on the table's tab, unchanged, through the table's editor.
    void updateThroughEditor(records::TableId table);
    // Writes the same row with the record manager's Update and puts the texts the
    // editor shows for it on the widgets directly.
    void updateDirectly(records::TableId table);

    // Shows the demo monsters 10 and 11 (those naming the most items and spells) through
    // a Monsters editor that fills the boxes beside their references, or through one
    // that leaves them empty.
    void showMonstersNamed(bool names);

    // How many widgets the editor of the table fills.
    std::size_t filledWidgets(records::TableId table) const;

private:
    // What the display routine put on the widgets it fills.
    struct Texts {
        std::vector<std::pair<QLineEdit*, QString>> lines;
        std::vector<std::pair<QComboBox*, QString>> combos;
        std::vector<std::pair<QLabel*, QString>> labels;
        std::vector<std::pair<QCheckBox*, Qt::CheckState>> checks;
    };
    struct TableCase {
        QWidget* page = nullptr;
        std::unique_ptr<editors::TableEditor> editor;
        std::array<std::vector<std::uint8_t>, 2> rows;
        std::array<Texts, 2> texts;
        Texts updated;  // what the tab shows after an update
    };

    static Texts filledTexts(QWidget& page, editors::TableEditor& editor, const std::vector<std::uint8_t>& row);
    static void apply(const Texts& texts);
    TableCase& at(records::TableId table) { return cases_[static_cast<std::size_t>(table)]; }

    ui::AnsweringDialogs dialogs_;
    store::RecordStore store_;
    store::TableBlocks files_;
    QTabWidget window_;
    QLineEdit* status_;
    std::array<TableCase, 6> cases_;
    world::ReadFiles nameFiles_;
    world::NameLookup names_{nameFiles_};
    std::array<TableCase, 2> monsters_;  // without names, with names
};

}  // namespace editor_bench
