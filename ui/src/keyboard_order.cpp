#include "ui/keyboard_order.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <tuple>

namespace ui {
namespace {

bool isTabStop(const QWidget& widget) {
    return (widget.focusPolicy() & Qt::TabFocus) && !widget.focusProxy() && !qobject_cast<const QScrollArea*>(&widget);
}

void appendWidget(QWidget& widget, std::vector<QWidget*>& order);

// The layout's items as a person reads them: a grid row by row, each row left to right;
// a box layout in its own order (top to bottom, or left to right).
void appendLayout(QLayout& layout, std::vector<QWidget*>& order) {
    std::vector<std::tuple<int, int, QLayoutItem*>> items;
    auto* grid = qobject_cast<QGridLayout*>(&layout);
    for (int i = 0; i < layout.count(); ++i) {
        int row = i, column = 0, rowSpan = 0, columnSpan = 0;
        if (grid) grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        items.emplace_back(row, column, layout.itemAt(i));
    }
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
    });
    for (const auto& [row, column, item] : items) {
        if (QWidget* widget = item->widget())
            appendWidget(*widget, order);
        else if (QLayout* inner = item->layout())
            appendLayout(*inner, order);
    }
}

// A box is a stop of its own, its parts are not; a tab control is its tab bar, then its pages.
void appendWidget(QWidget& widget, std::vector<QWidget*>& order) {
    if (auto* tabs = qobject_cast<QTabWidget*>(&widget)) {
        order.push_back(tabs->tabBar());
        for (int i = 0; i < tabs->count(); ++i) appendWidget(*tabs->widget(i), order);
    } else if (auto* window = qobject_cast<QMainWindow*>(&widget)) {
        if (window->centralWidget()) appendWidget(*window->centralWidget(), order);
    } else if (auto* area = qobject_cast<QScrollArea*>(&widget)) {
        if (area->widget()) appendWidget(*area->widget(), order);
    } else if (isTabStop(widget)) {
        order.push_back(&widget);
    } else if (widget.layout()) {
        appendLayout(*widget.layout(), order);
    }
}

// Enter or Return on a focused push button clicks it, as Space does.
class EnterClicks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
        button->click();
        return true;
    }
};

}  // namespace

std::vector<QWidget*> readingOrder(QWidget& root) {
    std::vector<QWidget*> order;
    appendWidget(root, order);
    return order;
}

void setUpKeyboard(QWidget& window) {
    for (QLineEdit* box : window.findChildren<QLineEdit*>())
        if (box->isReadOnly() && box->focusPolicy() != Qt::NoFocus) box->setFocusPolicy(Qt::ClickFocus);
    const std::vector<QWidget*> order = readingOrder(window);
    for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    auto* enterClicks = new EnterClicks(&window);
    for (QPushButton* button : window.findChildren<QPushButton*>()) button->installEventFilter(enterClicks);
}

}  // namespace ui
