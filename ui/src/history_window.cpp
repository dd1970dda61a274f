#include "ui/history_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "result_list.h"

namespace ui {

HistoryWindow::HistoryWindow(RevertRecord revert, QWidget* parent)
    : QDialog(parent),
      revert_(std::move(revert)),
      lblHistoryState_(new QLabel(this)),
      lstHistory_(makeResultList(*this, QStringLiteral("lstHistory"), QStringLiteral("Changes"))),
      txtHistoryRecord_(new QPlainTextEdit(this)),
      cmdRevert_(new QPushButton(QStringLiteral("&Revert to this"), this)) {
    setObjectName(QStringLiteral("frmHistory"));
    lblHistoryState_->setObjectName(QStringLiteral("lblHistoryState"));
    lblHistoryState_->setWordWrap(true);
    txtHistoryRecord_->setObjectName(QStringLiteral("txtHistoryRecord"));
    txtHistoryRecord_->setAccessibleName(QStringLiteral("Record as it was"));
    txtHistoryRecord_->setReadOnly(true);
    cmdRevert_->setObjectName(QStringLiteral("cmdRevert"));
    cmdRevert_->setAutoDefault(false);

    auto* column = new QVBoxLayout(this);
    column->addWidget(lblHistoryState_);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(lstHistory_);
    split->addWidget(txtHistoryRecord_);
    column->addWidget(split, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdRevert_);
    column->addLayout(buttons);
    resize(640, 520);

    connect(lstHistory_, &QListWidget::currentRowChanged, this, &HistoryWindow::choose);
    connect(cmdRevert_, &QPushButton::clicked, this, &HistoryWindow::revert);
}

void HistoryWindow::list(RecordHistory history, const QString& caption, bool writable) {
    history_ = std::move(history);
    writable_ = writable;
    setWindowTitle(QStringLiteral("History: ") + caption + QLatin1Char(' ') + QString::number(history_.number));
    lblHistoryState_->setText(history_.state);
    lstHistory_->clear();
    for (std::size_t i = 0; i < history_.rows.size(); ++i)
        addResult(*lstHistory_, history_.rows[i].text, static_cast<qlonglong>(i));
    if (!history_.rows.empty()) lstHistory_->setCurrentRow(0);
    choose();
}

const HistoryRow* HistoryWindow::chosenRow() const {
    const auto i = chosenResult(*lstHistory_);
    return i && static_cast<std::size_t>(*i) < history_.rows.size() ? &history_.rows[static_cast<std::size_t>(*i)]
                                                                    : nullptr;
}

void HistoryWindow::choose() {
    const HistoryRow* row = chosenRow();
    txtHistoryRecord_->setPlainText(row ? row->fields : QString());
    cmdRevert_->setEnabled(writable_ && row && row->version);
}

void HistoryWindow::revert() {
    const HistoryRow* row = chosenRow();
    if (!writable_ || !row || !row->version) return;
    // The callback lists the history afresh, which replaces both.
    const RecordHistory history = history_;
    const HistoryRow chosen = *row;
    revert_(history, chosen);
}

}  // namespace ui
