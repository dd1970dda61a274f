// frmHistory: the changes of one record, newest first, as its file's journal keeps
// them, with the state of the journal above them. Choosing a row shows the whole
// record as that change left it; "Revert to this" hands that version to the main
// window, which asks and writes it over the record as Update writes.
#pragma once

#include <QDialog>
#include <functional>

#include "ui/record_history.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace ui {

// Writes a row's version over the history's record; the window lists the history afresh after it.
using RevertRecord = std::function<void(const RecordHistory& history, const HistoryRow& row)>;

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    HistoryWindow(RevertRecord revert, QWidget* parent);

    // Lists a record's history; caption names its tab. Revert is offered only when
    // the record may be written (races, classes, spells and messages).
    void list(RecordHistory history, const QString& caption, bool writable);
    const RecordHistory& history() const { return history_; }

private:
    void choose();
    void revert();
    const HistoryRow* chosenRow() const;

    RevertRecord revert_;
    RecordHistory history_;
    bool writable_ = false;
    QLabel* lblHistoryState_;
    QListWidget* lstHistory_;
    QPlainTextEdit* txtHistoryRecord_;
    QPushButton* cmdRevert_;
};

}  // namespace ui
