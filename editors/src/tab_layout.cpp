#include "tab_layout.h"

namespace editors {

QLabel* makeLabel(QWidget& parent, const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, &parent);
    if (buddy) label->setBuddy(buddy);
    return label;
}

void addRow(QGridLayout& grid, QWidget& page, int row, const QString& caption, std::initializer_list<QWidget*> boxes) {
    QWidget* first = boxes.size() > 0 ? *boxes.begin() : nullptr;
    if (!caption.isEmpty()) grid.addWidget(makeLabel(page, caption, first), row, 0);
    int column = 1;
    for (QWidget* box : boxes) grid.addWidget(box, row, column++);
}

void addWideRow(QGridLayout& grid, QWidget& page, int row, const QString& caption, QWidget* box) {
    if (!caption.isEmpty()) grid.addWidget(makeLabel(page, caption, box), row, 0);
    grid.addWidget(box, row, 1, 1, -1);
}

}  // namespace editors
