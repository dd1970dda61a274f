#include "line_box.h"

#include <QCompleter>
#include <QStringListModel>
#include <QFontMetrics>
#include <algorithm>

namespace editors {
namespace {

// Wide enough for the characters the user may type, but at least a few digits.
void fitWidth(QLineEdit& box, int typingLimit) {
    if (typingLimit <= 0) return;
    const QFontMetrics metrics(box.font());
    const int chars = std::max(typingLimit, 6);
    const int width = metrics.horizontalAdvance(QLatin1Char('0')) * chars + 16;
    if (typingLimit <= 6)
        box.setFixedWidth(width);
    else
        box.setMinimumWidth(std::min(width, metrics.horizontalAdvance(QLatin1Char('0')) * 52));
}

}  // namespace

QLineEdit* makeLineBox(QWidget& parent, const QString& name, int typingLimit, bool readOnly) {
    auto* box = new QLineEdit(&parent);
    box->setObjectName(name);
    box->setReadOnly(readOnly);
    if (typingLimit > 0) {
        box->setMaxLength(typingLimit);
        QObject::connect(box, &QLineEdit::textEdited, box, [box, typingLimit](const QString& text) {
            if (text.size() <= typingLimit) box->setMaxLength(typingLimit);
        });
    }
    fitWidth(*box, typingLimit);
    return box;
}

void setShownText(QLineEdit& box, const QString& text, int typingLimit) {
    if (typingLimit > 0) box.setMaxLength(std::max<qsizetype>(typingLimit, text.size()));
    box.setText(text);
    box.setCursorPosition(0);
}

QComboBox* makeWordBox(QWidget& parent, const QString& name, QAbstractItemModel& model) {
    auto* box = new QComboBox(&parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setModel(&model);
    if (QCompleter* completer = box->completer()) completer->setCaseSensitivity(Qt::CaseSensitive);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setCurrentIndex(0);
    return box;
}

QComboBox* makeWordBox(QWidget& parent, const QString& name, const QStringList& words) {
    // The list lives in a model of the box's own, filled in one call.
    auto* model = new QStringListModel(words, &parent);
    return makeWordBox(parent, name, *model);
}

QStringList wordsOf(const records::CodeTable& table) {
    QStringList words;
    for (const records::CodeWord& row : table.rows())
        words.append(QString::fromUtf8(row.word.data(), static_cast<qsizetype>(row.word.size())));
    return words;
}

std::string wordText(const QComboBox& box) { return box.currentText().toStdString(); }

}  // namespace editors
