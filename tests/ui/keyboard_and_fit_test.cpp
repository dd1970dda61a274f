// The keyboard and the window's size, on the real window: Tab runs through each
// table tab's boxes in reading order (a column of boxes before the column to its
// right, an ability's name before its value) and then the buttons, never stopping on a
// read-only box; Enter clicks a focused button; the window fits the screen it opens
// on (run as well at QT_SCALE_FACTOR=2 on a 1280x1024 screen), with every button
// whole and no word cut in its box, each word box as wide as Qt makes one filled with
// its words.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QScreen>
#include <QTabBar>
#include <utility>

#include "test_support/qt_print.h"
#include "window_fixture.h"

namespace {

using Names = QStringList;

const Names kButtons{"cmdFirst", "cmdNext", "cmdPrevious", "cmdLast", "cmdGoto", "cmdInsert", "cmdDelete", "cmdUpdate"};

class KeyboardAndFit : public WindowFixture {};

TEST_F(KeyboardAndFit, TabFollowsReadingOrderThenTheButtonsAndEnterClicks) {
    ASSERT_TRUE(load());
    const std::pair<const char*, Names> cases[] = {
        // Boxes that must be visited in this order; others may come between.
        {"Races",
         {"txtRaceName", "txtRaceabila_0", "txtRaceabilb_0", "txtRaceabila_1", "txtRaceabilb_1", "txtRaceabila_9",
          "txtRaceabilb_9"}},
        {"Classes", {"txtClassName", "txtClassExp", "txtClassTitle", "txtClassabila_0", "txtClassabilb_0"}},
        {"Spells", {"txtSpellName", "txtSpellShortName", "txtSpellDescB", "txtSpellabila_0", "txtSpellabilb_0"}},
        {"Messages", {"txtMessageLine1", "txtMessageLine2", "txtMessageLine3"}},
        {"Monsters", {}},
        {"Items", {}},
    };
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    for (const auto& [caption, inOrder] : cases) {
        SCOPED_TRACE(caption);
        select(QString::fromLatin1(caption));
        // Tab from the outer tab bar until the last button has focus.
        tabs().tabBar()->setFocus();
        Names names;
        for (int step = 0; step < 500 && names.value(names.size() - 1) != kButtons.back(); ++step) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(QApplication::focusWidget(), &tab);
            names.push_back(QApplication::focusWidget()->objectName());
            const auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            EXPECT_FALSE(line && line->isReadOnly()) << "read-only box " << names.back().toStdString();
        }
        EXPECT_EQ(names.mid(names.size() - kButtons.size()), kButtons);
        auto at = names.begin();
        for (const QString& name : inOrder) {
            at = std::find(at, names.end(), name);
            EXPECT_NE(at, names.end()) << name.toStdString()
                                       << " not visited in order: " << names.join(QLatin1Char(' ')).toStdString();
        }
    }

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
    const QRect screen = window->screen()->availableGeometry(), frame = window->frameGeometry();
    EXPECT_TRUE(screen.contains(frame)) << "screen " << screen.width() << "x" << screen.height() << ", window "
                                        << frame.width() << "x" << frame.height();
    QRect previous;
    for (const QString& name : kButtons) {
        const auto* button = window->findChild<QPushButton*>(name);
        const QRect r(button->mapTo(window.get(), QPoint(0, 0)), button->size());
        EXPECT_TRUE(button->isVisible() && window->rect().contains(r)) << name.toStdString();
        EXPECT_GE(r.width(), button->fontMetrics().horizontalAdvance(button->text())) << name.toStdString();
        EXPECT_FALSE(r.intersects(previous)) << name.toStdString();
        previous = r;
    }
    // Every word box of every page, inner pages too, has room for the widest of its words.
    // A box is sized from its list's widest word without measuring every entry: it
    // comes out as wide as Qt makes a box that holds the same words.
    const auto wordsFit = [&] {
        QCoreApplication::processEvents();
        for (const QComboBox* box : window->findChildren<QComboBox*>()) {
            if (!box->isVisible()) continue;
            const int room = box->lineEdit() ? box->lineEdit()->width() : box->width();
            QComboBox filled;
            filled.setEditable(true);
            for (int i = 0; i < box->count(); ++i) {
                EXPECT_LE(box->fontMetrics().horizontalAdvance(box->itemText(i)), room)
                    << box->objectName().toStdString() << " cuts " << box->itemText(i).toStdString();
                filled.addItem(box->itemText(i));
            }
            filled.show();  // Qt sizes a box from its entries when first shown
            EXPECT_EQ(box->sizeHint(), filled.sizeHint()) << box->objectName().toStdString();
            EXPECT_EQ(box->minimumSizeHint(), filled.minimumSizeHint()) << box->objectName().toStdString();
        }
    };
    for (int page = 0; page < tabs().count(); ++page) {
        tabs().setCurrentIndex(page);
        wordsFit();
        for (QTabWidget* inner : tabs().widget(page)->findChildren<QTabWidget*>())
            for (int k = 0; k < inner->count(); ++k) inner->setCurrentIndex(k), wordsFit();
    }
}

}  // namespace
