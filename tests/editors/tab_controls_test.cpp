// The controls of each tab: nested tabs, first entries, read-only numbers, word boxes
// as wide as their words, and a layout in which nothing overlaps or is cut off at
// the window size people use.
#include <QAbstractButton>
#include <QGroupBox>
#include <QTabWidget>
#include <tuple>

#include "editor_session.h"

namespace {

using records::TableId;

Row emptyRow(TableId id) {
    Row row(records::tableFile(id).recordLength, 0);
    row[0] = 1;
    return row;
}

TEST(TabControls, MonsterSubTabsAndAttackFrames) {
    EditorSession s(TableId::Monsters, emptyRow(TableId::Monsters));
    auto& outer = s.find<QTabWidget>("SSTab2");
    ASSERT_EQ(outer.count(), 4);
    EXPECT_EQ(outer.tabText(0), "Normal");
    EXPECT_EQ(outer.tabText(1), "Description/Items");
    EXPECT_EQ(outer.tabText(2), "Attacks");
    EXPECT_EQ(outer.tabText(3), "Spells/Messages");
    EXPECT_EQ(outer.currentIndex(), 0);
    auto& attacks = s.find<QTabWidget>("SSTab3");
    ASSERT_EQ(attacks.count(), 5);
    EXPECT_EQ(attacks.currentIndex(), 0);
    const char letters[] = "EDCBA";
    for (int tab = 0; tab < 5; ++tab) {
        EXPECT_EQ(attacks.tabText(tab), QStringLiteral("Tab %1").arg(tab));
        auto* frame = attacks.widget(tab)->findChild<QGroupBox*>(QStringLiteral("Frame%1").arg(5 - tab));
        ASSERT_NE(frame, nullptr) << tab;
        EXPECT_EQ(frame->title(), "Messages");
        for (const char* field : {"HitMessage", "MissMessage", "DodgeMessage"})
            EXPECT_NE(frame->findChild<QLineEdit*>(QStringLiteral("txtMonsterAttack%1%2").arg(field).arg(letters[tab])),
                      nullptr);
        EXPECT_NE(
            attacks.widget(tab)->findChild<QComboBox*>(QStringLiteral("txtMonsterAttackType%1").arg(letters[tab])),
            nullptr);
    }
}

// Before any record is shown: word boxes stand on their first word and can be
// typed into; the record number box of every tab is read-only.
TEST(TabControls, FreshTabsStartOnTheirFirstWordsWithReadOnlyNumbers) {
    const std::pair<TableId, const char*> numberBoxes[] = {
        {TableId::Races, "txtRaceNumber"},   {TableId::Classes, "txtClassNumber"},
        {TableId::Spells, "txtSpellNumber"}, {TableId::Monsters, "txtMonsterNumber"},
        {TableId::Items, "txtItemNumber"},   {TableId::Messages, "txtMessageNumber"}};
    const std::tuple<TableId, const char*, const char*> firstWords[] = {
        {TableId::Classes, "txtClassMagicType", "None"},    {TableId::Classes, "txtClassWeapon", "1H Blunt"},
        {TableId::Classes, "txtClassArmour", "Natural"},    {TableId::Spells, "txtSpellStyle", "Auto-Combat"},
        {TableId::Spells, "txtSpellTarget", "Single"},      {TableId::Spells, "txtSpellElement", "Cold"},
        {TableId::Spells, "txtSpellTypeA", "Item/Monster"}, {TableId::Races, "txtRaceabila_9", "None"}};
    test_support::application();
    test_support::TempFolder folder;
    test_support::ScriptedDialogs dialogs;
    store::RecordStore store{store::recordManagerCall(), dialogs};
    const auto lists = records::BuildFieldLists();
    for (const auto& [id, number] : numberBoxes) {
        QWidget page;
        QLineEdit status;
        store::TableFileBlock block{records::tableFile(id)};
        auto editor = editors::makeTableEditor(id, page, {store, block, lists, status, dialogs});
        auto* numberBox = page.findChild<QLineEdit*>(number);
        ASSERT_NE(numberBox, nullptr) << number;
        EXPECT_TRUE(numberBox->isReadOnly()) << number;
        for (const auto& [table, name, word] : firstWords) {
            if (table != id) continue;
            auto* box = page.findChild<QComboBox*>(name);
            ASSERT_NE(box, nullptr) << name;
            EXPECT_EQ(box->currentText(), word);
            EXPECT_TRUE(box->isEditable()) << name;
        }
    }
}

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
    for (const TableId id :
         {TableId::Races, TableId::Classes, TableId::Spells, TableId::Monsters, TableId::Items, TableId::Messages}) {
        SCOPED_TRACE(static_cast<int>(id));
        EditorSession s(id, emptyRow(id));
        expectSizedByTheirWords(s.page);
        // The page a tab of a 1280 x 800 window leaves, after the buttons and the status line.
        s.page.resize(1240, 640);
        s.page.show();
        QApplication::processEvents();
        expectTidyLayout(s.page);
        if (auto* outer = s.page.findChild<QTabWidget*>("SSTab2")) {
            for (int i = 0; i < outer->count(); ++i) {
                outer->setCurrentIndex(i);
                QApplication::processEvents();
                expectTidyLayout(s.page);
            }
            auto* attacks = s.page.findChild<QTabWidget*>("SSTab3");
            outer->setCurrentIndex(2);
            for (int i = 0; i < attacks->count(); ++i) {
                attacks->setCurrentIndex(i);
                QApplication::processEvents();
                expectTidyLayout(s.page);
            }
        }
    }
}

}  // namespace
