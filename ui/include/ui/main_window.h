// The editor's one main window. It owns the six table file blocks, the record store
// and the six table editors, and dispatches every command by the caption of the
// selected tab of SSTab1.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

#include "editors/dialogs.h"
#include "editors/table_editor.h"
#include "store/btr_call.h"
#include "store/record_store.h"
#include "store/table_blocks.h"
#include "world/name_lookup.h"
#include "world/read_files.h"

class QLineEdit;
class QTabWidget;

namespace ui {

class AboutBox;
class CheckWorldWindow;
class FindWindow;
class HistoryWindow;
class WhereUsedWindow;
struct HistoryRow;
struct RecordHistory;
struct TabEntry;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Every box goes through dialogs; every record manager call through call.
    explicit MainWindow(editors::Dialogs& dialogs, store::BtrCall call = store::recordManagerCall(),
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: caption, first tab, then every table opened and its
    // first record shown. False when a data file could not be opened: the program
    // must then end at once, without Form_Unload.
    bool Form_Load();
    // Shut-down: closes the files, stops and resets the record manager, then shows
    // the program's web page. Runs once, and only after a complete start-up.
    void Form_Unload();

    void cmdFirst_Click();
    void cmdNext_Click();
    void cmdPrevious_Click();
    void cmdLast_Click();
    void cmdGoto_Click();
    void cmdUpdate_Click();
    void cmdInsert_Click();
    void cmdDelete_Click();
    void menuAbout_Click();

    // The commands beside About, each in a window of its own; they read the world
    // through blocks of their own and show a record through showRecord.
    void menuFind_Click();
    void menuFindNext_Click();
    void menuWhereUsed_Click();
    void menuCheckWorld_Click();
    // The changes of the record on the selected tab, from its file's journal.
    void menuHistory_Click();

    // Reads record number of the table as Goto does and shows it on the table's tab;
    // a failed read is reported as Goto reports it. True when the record is shown.
    bool showRecord(records::TableId table, std::int32_t number);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct ReadCommand;

    void buildWindow();
    // The preferred size, or less on a screen too small for it.
    void fitScreen();
    QWidget* buildTablePage(const TabEntry& entry);
    // Runs block for the tab entry whose caption equals the selected tab's, read afresh per entry.
    void forSelectedTab(const std::function<void(const TabEntry&)>& block);
    void readRecord(const ReadCommand& command);
    void showRow(store::TableFileBlock& block);
    editors::TableEditor& editor(records::TableId table);
    // The entry of the selected tab, compared by caption as every command does.
    const TabEntry* selectedEntry() const;
    // Selects the table's tab and shows the record there as Goto does.
    bool showFound(records::TableId table, std::int32_t number);
    // Enables the commands beside About that the selected tab can take.
    void enableCommands();
    // Reads a record's history afresh into the History window, making it if need be.
    void listHistory(records::TableId table, std::int32_t number);
    // Asks, then writes a version from the history over the record through the tab's block.
    void revertRecord(const RecordHistory& history, const HistoryRow& row);

    enum class Stage { Built, Loaded, Unloaded };

    editors::Dialogs& dialogs_;
    // Each reader of the world beside the tabs has blocks of its own, so none moves
    // a position the tabs hold or another reader's.
    world::ReadFiles nameFiles_;
    world::NameLookup names_;
    world::ReadFiles findFiles_;
    world::ReadFiles findNextFiles_;
    world::ReadFiles whereUsedFiles_;
    world::ReadFiles checkFiles_;
    world::ReadFiles historyFiles_;
    store::TableBlocks files_;
    store::RecordStore store_;
    Stage stage_ = Stage::Built;

    QTabWidget* SSTab1_ = nullptr;
    QLineEdit* txtStatus_ = nullptr;
    std::array<std::unique_ptr<editors::TableEditor>, 6> editors_;
    QPointer<AboutBox> about_;
    QPointer<FindWindow> find_;
    QPointer<WhereUsedWindow> whereUsed_;
    QPointer<CheckWorldWindow> checkWorld_;
    QPointer<HistoryWindow> history_;
};

}  // namespace ui
