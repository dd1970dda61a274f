#include "word_box.h"

#include <QCompleter>
#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <cmath>
#include <vector>

#include "line_box.h"

namespace editors {

WordList::WordList(const records::CodeTable& table, QObject* parent) : QAbstractListModel(parent), table_(table) {}

int WordList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.rows().size());
}

QVariant WordList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return words()[index.row()];
}

const QStringList& WordList::words() const {
    if (words_.isEmpty()) words_ = wordsOf(table_);
    return words_;
}

int WordList::widestWord(const QFont& font) const {
    if (widest_ < 0 || font != measuredFont_) {
        // Qt sizes a box by the bounding box of each entry, which costs laying the text
        // out. The sum of the characters' advances comes within a few pixels of it for
        // far less, so only the words within a character's width of the greatest sum
        // are laid out.
        const QFontMetrics metrics(font);
        std::vector<int> sums;
        for (const QString& word : words()) {
            int sum = 0;
            for (const QChar c : word) sum += metrics.horizontalAdvance(c);
            sums.push_back(sum);
        }
        const int nearest = (sums.empty() ? 0 : *std::ranges::max_element(sums)) - metrics.maxWidth();
        widest_ = 0;
        for (std::size_t i = 0; i < sums.size(); ++i)
            if (sums[i] >= nearest) widest_ = std::max(widest_, metrics.boundingRect(words()[i]).width());
        measuredFont_ = font;
    }
    return widest_;
}

WordBox::WordBox(QWidget& parent, const QString& name, WordList& words) : QComboBox(&parent), words_(words) {
    setObjectName(name);
    // The list goes in before the box becomes editable, so that the completer made
    // then reads the same list rather than a default one that is thrown away.
    setModel(&words);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    if (QCompleter* completer = this->completer()) completer->setCaseSensitivity(Qt::CaseSensitive);
    setCurrentIndex(0);
}

QSize WordBox::sizeHint() const {
    if (!hint_.isValid()) {
        // As Qt sizes a box on first show from its entries: the widest text, the
        // font's height, then the style's frame and arrow.
        const QSize text(words_.widestWord(font()),
                         std::max(static_cast<int>(std::ceil(QFontMetricsF(font()).height())), 14) + 2);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        hint_ = style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this);
    }
    return hint_;
}

QSize WordBox::minimumSizeHint() const { return sizeHint(); }

void WordBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) hint_ = QSize();
    QComboBox::changeEvent(event);
}

void WordBox::showPopup() {
    const int shown = findText(currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (shown >= 0 && shown != currentIndex()) setCurrentIndex(shown);
    QComboBox::showPopup();
}

}  // namespace editors
