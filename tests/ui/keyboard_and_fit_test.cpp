// The keyboard and the window's size, on the real window: Tab runs through each
// table tab's boxes in reading order (a column of boxes before the column to its
// right, an ability's name before its value) and then the buttons, never stopping on a
// read-only box; Enter clicks a focused button; the window fits the screen it opens
// on (run as well at QT_SCALE_FACTOR=2 on a 1280x1024 screen), with every button
// whole and no word cut in its box.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QScreen>
#include <QTabBar>
#include <vector>

#include "test_support/qt_print.h"
#include "window_fixture.h"

namespace {

using Names = QStringList;

const Names kButtons{"cmdFirst", "cmdNext", "cmdPrevious", "cmdLast", "cmdGoto", "cmdInsert", "cmdDelete", "cmdUpdate"};

struct TabCase {
    const char* caption;
    Names inOrder;  // must be visited in this order, others may come between
};

class KeyboardAndFit : public WindowFixture {
protected:
    // Presses Tab from the outer tab bar until the last button has focus.
    std::vector<QWidget*> tabThrough() {
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        tabs().tabBar()->setFocus();
        std::vector<QWidget*> visited;
        for (int step = 0; step < 500; ++step) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(QApplication::focusWidget(), &tab);
            visited.push_back(QApplication::focusWidget());
            if (visited.back()->objectName() == kButtons.back()) break;
        }
        return visited;
    }

    QRect onWindow(const QWidget* w) const { return QRect(w->mapTo(window.get(), QPoint(0, 0)), w->size()); }
};

TEST_F(KeyboardAndFit, TabFollowsReadingOrderThenTheButtons) {
    ASSERT_TRUE(load());
    const std::vector<TabCase> cases{
        {"Races",
         {"txtRaceName", "txtRaceabila_0", "txtRaceabilb_0", "txtRaceabila_1", "txtRaceabilb_1", "txtRaceabila_9",
          "txtRaceabilb_9"}},
        {"Classes", {"txtClassName", "txtClassExp", "txtClassTitle", "txtClassabila_0", "txtClassabilb_0"}},
        {"Spells", {"txtSpellName", "txtSpellShortName", "txtSpellDescB", "txtSpellabila_0", "txtSpellabilb_0"}},
        {"Messages", {"txtMessageLine1", "txtMessageLine2", "txtMessageLine3"}},
        {"Monsters", {}},
        {"Items", {}},
    };
    for (const TabCase& c : cases) {
        SCOPED_TRACE(c.caption);
        select(QString::fromLatin1(c.caption));
        const std::vector<QWidget*> visited = tabThrough();
        ASSERT_GE(visited.size(), kButtons.size());

        Names names;
        for (QWidget* w : visited) names.push_back(w->objectName());
        EXPECT_EQ(names.mid(names.size() - kButtons.size()), kButtons);
        auto at = names.begin();
        for (const QString& name : c.inOrder) {
            at = std::find(at, names.end(), name);
            EXPECT_NE(at, names.end()) << name.toStdString()
                                       << " not visited in order: " << names.join(QLatin1Char(' ')).toStdString();
        }

        const std::vector<QWidget*> boxes(visited.begin(),
                                          visited.end() - static_cast<std::ptrdiff_t>(kButtons.size()));
        for (QWidget* w : boxes) {
            const auto* line = qobject_cast<QLineEdit*>(w);
            EXPECT_FALSE(line && line->isReadOnly()) << "read-only box " << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("txtStatus"))->focusPolicy() & Qt::TabFocus, 0);
}

TEST_F(KeyboardAndFit, EnterClicksTheFocusedButton) {
    ASSERT_TRUE(load());
    select(QStringLiteral("Races"));
    auto* next = window->findChild<QPushButton*>(QStringLiteral("cmdNext"));
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        const QString before = shownNumber(records::TableId::Races);
        next->setFocus();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(next, &press);
        EXPECT_NE(shownNumber(records::TableId::Races), before) << key;
    }
}

TEST_F(KeyboardAndFit, WindowFitsItsScreenButtonsAndWordsWhole) {
    ASSERT_TRUE(load());
    QCoreApplication::processEvents();
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->frameGeometry()))
        << "screen " << screen.width() << "x" << screen.height() << ", window " << window->frameGeometry().width()
        << "x" << window->frameGeometry().height();
    const QRect inside = window->rect();
    QRect previous;
    for (const QString& name : kButtons) {
        const auto* button = window->findChild<QPushButton*>(name);
        const QRect r = onWindow(button);
        EXPECT_TRUE(button->isVisible() && inside.contains(r)) << name.toStdString();
        EXPECT_GE(r.width(), button->fontMetrics().horizontalAdvance(button->text())) << name.toStdString();
        EXPECT_FALSE(r.intersects(previous)) << name.toStdString();
        previous = r;
    }
    // Every word box of every page, inner pages too, has room for the widest of its words.
    const auto checkWordsFit = [](QWidget& page) {
        for (const QComboBox* box : page.findChildren<QComboBox*>()) {
            if (!box->isVisible()) continue;
            const int room = box->lineEdit() ? box->lineEdit()->width() : box->width();
            for (int i = 0; i < box->count(); ++i)
                EXPECT_LE(box->fontMetrics().horizontalAdvance(box->itemText(i)), room)
                    << box->objectName().toStdString() << " cuts " << box->itemText(i).toStdString();
        }
    };
    for (int page = 0; page < tabs().count(); ++page) {
        tabs().setCurrentIndex(page);
        QCoreApplication::processEvents();
        checkWordsFit(*tabs().widget(page));
        for (QTabWidget* inner : tabs().widget(page)->findChildren<QTabWidget*>()) {
            for (int k = 0; k < inner->count(); ++k) {
                inner->setCurrentIndex(k);
                QCoreApplication::processEvents();
                checkWordsFit(*inner->widget(k));
            }
        }
    }
}

}  // namespace
