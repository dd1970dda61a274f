// The keyboard over a built window, whatever widgets its editors made: the Tab key
// runs through the boxes in reading order, read-only line edits are left out, and
// push buttons react to Enter.
#pragma once

#include <QWidget>
#include <vector>

namespace ui {

// Every tab stop under root in reading order, from the layouts the widgets stand in:
// a grid row by row and each row left to right, a box layout in its order (a column of
// boxes before the column to its right), a tab control's tab bar followed by its pages.
std::vector<QWidget*> readingOrder(QWidget& root);

// Chains the tab stops of window in reading order, makes read-only line edits take
// focus by click only, and makes Enter and Return click a focused push button.
void setUpKeyboard(QWidget& window);

}  // namespace ui
