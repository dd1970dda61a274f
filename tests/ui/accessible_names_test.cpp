// What a screen reader announces for each control of the running window and its
// About box: every box, list, check box and button has a name, the caption of the
// label beside it or the caption its field is described with.
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <map>

#include "window_fixture.h"

namespace {

using AccessibleNames = WindowFixture;

// What a screen reader calls a control: its accessible name; for a list, whose accessible
// name Qt makes its text on this platform, the label it is labelled by, else the name
// it was given.
QString spokenName(QWidget* control) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    if (!face) return {};
    if (!qobject_cast<QComboBox*>(control)) return face->text(QAccessible::Name);
    for (const auto& [label, relation] : face->relations(QAccessible::Label))
        if (qobject_cast<QLabel*>(label->object())) return label->text(QAccessible::Name);
    return control->accessibleName();
}

// The name of every control under root, by object name; a list's own edit field is the
// list's, and Qt's own parts of a window (named qt_...) are Qt's.
std::map<QString, QString> controlNames(QWidget& root) {
    std::map<QString, QString> names;
    for (QWidget* w : root.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w) ||
                             (qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget()));
        if (control && !w->objectName().startsWith(QStringLiteral("qt_"))) names[w->objectName()] = spokenName(w);
    }
    return names;
}

TEST_F(AccessibleNames, EveryControlIsNamed) {
    ASSERT_TRUE(load());
    window->findChild<QAction*>(QStringLiteral("menuAbout"))->trigger();  // the About box is the window's
    auto names = controlNames(*window);
    EXPECT_GT(names.size(), 250u);
    for (const auto& [name, spoken] : names) EXPECT_FALSE(spoken.trimmed().isEmpty()) << name.toStdString();
    const std::pair<const char*, const char*> sample[] = {
        {"txtRaceMinStrength", "Strength"},  // through the label beside it
        {"txtRaceMaxStrength", "Strength"},  // no label: the field's caption
        {"txtRaceabila_0", "Ability 1"},
        {"txtRaceabilb_9", "Ability 10 value"},
        {"txtClassMagicType", "Magic"},
        {"txtMonsterWeaponName", "Weapon Name"},
        {"txtMonsterDropItemNumberC", "# C"},
        {"txtStatus", "Status"},
        {"cmdFirst", "First"},
        {"Check1_0", "Insert/Delete/Edit Races"},
    };
    for (const auto& [name, spoken] : sample) EXPECT_EQ(names[QString::fromLatin1(name)], spoken) << name;
}

}  // namespace
