// Laying out a tab: labels beside their boxes in grid rows.
#pragma once

#include <QGridLayout>
#include <QLabel>
#include <initializer_list>

namespace editors {

// A label whose keyboard buddy is the box it names.
QLabel* makeLabel(QWidget& parent, const QString& caption, QWidget* buddy = nullptr);

// Row row of grid: the caption (a label on page) in column 0, then the boxes in the columns after it.
void addRow(QGridLayout& grid, QWidget& page, int row, const QString& caption, std::initializer_list<QWidget*> boxes);

// A row whose one box spans every column right of the caption.
void addWideRow(QGridLayout& grid, QWidget& page, int row, const QString& caption, QWidget* box);

}  // namespace editors
