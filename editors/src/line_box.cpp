#include "line_box.h"

#include <QFontMetrics>
#include <QStyle>
#include <QValidator>
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

// Refuses an edit that leaves more characters than the limit, unless it shortens a
// longer text that the program put there; the program's own texts are never cut.
class TypingLimit : public QValidator {
public:
    TypingLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

    State validate(QString& input, int&) const override {
        if (input.size() <= limit_ || input.size() < length || input == shown) return Acceptable;
        return Invalid;
    }

    QString shown;         // the text the program put in the box last
    qsizetype length = 0;  // characters the box holds now

private:
    int limit_;
};

}  // namespace

QLineEdit* makeLineBox(QWidget& parent, const QString& name, int typingLimit, bool readOnly) {
    auto* box = new QLineEdit(&parent);
    box->setObjectName(name);
    box->setReadOnly(readOnly);
    if (typingLimit > 0) {
        auto* limit = new TypingLimit(typingLimit, box);
        box->setValidator(limit);
        QObject::connect(box, &QLineEdit::textChanged, limit,
                         [limit](const QString& text) { limit->length = text.size(); });
    }
    fitWidth(*box, typingLimit);
    return box;
}

void setShownText(QLineEdit& box, const QString& text) {
    if (auto* limit = dynamic_cast<TypingLimit*>(const_cast<QValidator*>(box.validator()))) limit->shown = text;
    box.setText(text);
    // The start of a text that may be wider than the box stays in view. Moving the cursor
    // costs as much again as setting the text, so it is skipped where even characters
    // of the font's greatest width would fit; a text that fits shows whole anyway.
    const int room =
        box.contentsRect().width() - 2 * box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box);
    if (text.size() * box.fontMetrics().maxWidth() > room) box.setCursorPosition(0);
}

QStringList wordsOf(const records::CodeTable& table) {
    QStringList words;
    for (const records::CodeWord& row : table.rows())
        words.append(QString::fromUtf8(row.word.data(), static_cast<qsizetype>(row.word.size())));
    return words;
}

std::string wordText(const QComboBox& box) { return box.currentText().toStdString(); }

}  // namespace editors
