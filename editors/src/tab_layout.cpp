#include "tab_layout.h"

#include <QComboBox>
#include <QLineEdit>

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

QGridLayout* abilityColumn(std::span<QComboBox* const> codes, std::span<QLineEdit* const> values) {
    auto* grid = new QGridLayout;
    for (std::size_t k = 0; k < codes.size(); ++k) {
        const int row = static_cast<int>(k);
        grid->addWidget(codes[k], row, 0);
        if (k < values.size()) grid->addWidget(values[k], row, 1);
    }
    grid->setRowStretch(static_cast<int>(codes.size()), 1);
    return grid;
}

}  // namespace editors
