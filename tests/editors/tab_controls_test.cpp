// The controls of each tab: word boxes as wide as their words, and a layout in which
// nothing overlaps or is cut off at the window size people use.
#include <QAbstractButton>
#include <QTabWidget>

#include "editor_session.h"

namespace {

using records::TableId;

// Every visible control of the page lies inside it, gets at least its smallest size,
// and overlaps no other control; each tab of the nested tab controls is looked at.
void expectTidyLayout(QWidget& page) {
    std::vector<QWidget*> controls;
    for (QWidget* w : page.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (!(qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QLabel*>(w) ||
              qobject_cast<QAbstractButton*>(w)))
            continue;
        if (qobject_cast<QComboBox*>(w->parentWidget())) continue;  // a combo box's own line edit
        controls.push_back(w);
    }
    EXPECT_GE(controls.size(), 3u);
    const QRect area = page.rect();
    for (QWidget* w : controls) {
        const QRect r(w->mapTo(&page, QPoint(0, 0)), w->size());
        EXPECT_TRUE(area.contains(r)) << w->objectName().toStdString() << " is cut off";
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) {
            EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->objectName().toStdString();
        }
        for (QWidget* other : controls) {
            if (other <= w) continue;
            const QRect o(other->mapTo(&page, QPoint(0, 0)), other->size());
            EXPECT_FALSE(r.intersects(o))
                << w->objectName().toStdString() << " overlaps " << other->objectName().toStdString() << " / "
                << other->metaObject()->className();
        }
    }
}

// A word box is sized from its list's widest word without measuring every entry:
// it must come out as wide as Qt makes a box that holds the same words.
void expectSizedByTheirWords(QWidget& page) {
    for (QComboBox* box : page.findChildren<QComboBox*>()) {
        QComboBox filled;
        filled.setEditable(true);
        for (int k = 0; k < box->count(); ++k) filled.addItem(box->itemText(k));
        filled.show();  // Qt sizes a box from its entries when first shown
        EXPECT_EQ(box->sizeHint(), filled.sizeHint()) << box->objectName().toStdString();
        EXPECT_EQ(box->minimumSizeHint(), filled.minimumSizeHint()) << box->objectName().toStdString();
    }
}

TEST(TabControls, LayoutFitsTheWindow) {
    for (const auto& table : records::kTableFiles) {
        SCOPED_TRACE(table.fileName);
        Row empty(table.recordLength, 0);
        empty[0] = 1;
        EditorSession s(table.id, empty);
        expectSizedByTheirWords(s.page);
        // The page a tab of a 1280 x 800 window leaves, after the buttons and the status line.
        s.page.resize(1240, 640);
        s.page.show();
        QApplication::processEvents();
        // Each tab of the nested tab controls; the attack tabs lie on the outer one's third.
        const auto eachTab = [&](QTabWidget* tabs) {
            for (int i = 0; tabs && i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QApplication::processEvents();
                expectTidyLayout(s.page);
            }
        };
        expectTidyLayout(s.page);
        auto* outer = s.page.findChild<QTabWidget*>("SSTab2");
        eachTab(outer);
        if (outer) outer->setCurrentIndex(2);
        eachTab(s.page.findChild<QTabWidget*>("SSTab3"));
    }
}

}  // namespace
