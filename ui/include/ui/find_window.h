// frmFind: searches the text fields of the records of one table as the user types,
// reading the table in batches, one batch per turn of the event loop, so the window
// stays live; typing more starts the search over. Choosing a result shows that
// record on its tab as Goto would.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "world/batch_reader.h"
#include "world/read_files.h"
#include "world/text_search.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {

// Shows record number of a table on its tab, the way Goto does.
using ShowRecord = std::function<void(records::TableId table, std::int32_t number)>;

class FindWindow : public QDialog {
    Q_OBJECT
public:
    FindWindow(world::ReadFiles& files, ShowRecord show, QWidget* parent);

    // Searches the records of the table of the tab of that caption from now on.
    void searchIn(records::TableId table, const QString& caption);
    records::TableId table() const { return table_; }

    // The search of the typed text in a table (none when nothing can match), for Find Next.
    std::optional<world::TextSearch> typedSearch(records::TableId table) const;
    // Whether the search is still reading.
    bool searching() const { return reader_ != nullptr; }

private:
    void restart();
    void readBatch();
    void choose();

    world::ReadFiles& files_;
    ShowRecord show_;
    records::TableId table_ = records::TableId::Races;
    QLineEdit* txtFindText_;
    QListWidget* lstFindResults_;
    QPushButton* cmdFindShow_;
    std::optional<world::TextSearch> search_;
    std::unique_ptr<world::BatchReader> reader_;
    QTimer batches_;
};

// The text of a result row: the number, the title and the field that matched.
QString resultRow(std::int32_t number, const std::string& title, std::string_view field);

}  // namespace ui
