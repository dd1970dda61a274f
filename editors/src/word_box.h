// The editable drop-down boxes of coded fields. A box's list is its table's words,
// made into texts only when something first reads them (the list opened, completion
// while typing, a word looked up), so that building a window of many boxes costs
// no more than building the boxes.
#pragma once

#include <QAbstractListModel>
#include <QComboBox>
#include <QFont>
#include <QStringList>

#include "records/code_table.h"

namespace editors {

// The words of one table, in code order, as a list that any number of boxes offer.
class WordList : public QAbstractListModel {
public:
    WordList(const records::CodeTable& table, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The width in pixels of the widest word in that font, measured once per font.
    int widestWord(const QFont& font) const;

private:
    const QStringList& words() const;

    const records::CodeTable& table_;
    mutable QStringList words_;  // empty until first read
    mutable QFont measuredFont_;
    mutable int widest_ = -1;  // in measuredFont_; -1 before the first measure
};

// An editable drop-down list of a WordList's words, showing its first entry. Typed
// texts never join the list, and completion respects letter case, because a word is
// only recognised with its exact letters.
class WordBox : public QComboBox {
public:
    WordBox(QWidget& parent, const QString& name, WordList& words);

    // Qt's own size for an editable box of these words, taken from the list's widest
    // word instead of from measuring every entry of every box.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Opens the list on the entry the box shows, when the text is one of its words.
    void showPopup() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    const WordList& words_;
    mutable QSize hint_;  // invalid until first asked
};

}  // namespace editors
