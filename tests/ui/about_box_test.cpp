// The About box: its contents, and that the main window stays usable beside it.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <set>

#include "ui/app_icon.h"
#include "window_fixture.h"

namespace {

using records::TableId;

class AboutBox : public WindowFixture {
protected:
    QDialog* openAbout() {
        window->findChild<QAction*>(QStringLiteral("menuAbout"))->trigger();
        return window->findChild<QDialog*>(QStringLiteral("frmAbout"));
    }
    void releaseClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

TEST_F(AboutBox, ShowsTitleVersionAndWhatCanBeEdited) {
    ASSERT_TRUE(load());
    auto* about = openAbout();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Tarrow Grimhold Editor"));
    const auto label = [&](const QString& name) {
        const auto* l = about->findChild<QLabel*>(name);
        return l ? l->text() : QStringLiteral("<no label %1>").arg(name);
    };
    EXPECT_EQ(label(QStringLiteral("lblTitle")), QStringLiteral("Tarrow Grimhold Editor"));
    EXPECT_EQ(label(QStringLiteral("lblVersion")), QStringLiteral("Version 0.4"));
    // The picture box and the window show the application's own icon.
    const auto* picture = about->findChild<QLabel*>(QStringLiteral("picIcon"));
    ASSERT_NE(picture, nullptr);
    const QImage icon = ui::applicationIcon().pixmap(48, 48).toImage();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(picture->pixmap().toImage(), icon);
    EXPECT_EQ(window->windowIcon().pixmap(48, 48).toImage(), icon);
    auto* frame = about->findChild<QGroupBox*>(QStringLiteral("Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QStringLiteral("In this version you can do the following "));

    const QStringList tables{"Races",       "Classes", "Spells", "Monsters", "Items", "Messages",
                             "Text Blocks", "Rooms",   "Shops",  "Users",    "Gangs"};
    const std::set<int> editable{0, 1, 2, 5};
    for (int i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(label(QStringLiteral("Label1_%1").arg(i)), "Insert/Delete/Edit " + tables[i]);
        const auto* check = frame->findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(i));
        ASSERT_NE(check, nullptr) << i;
        EXPECT_EQ(check->isChecked(), editable.contains(i)) << i;
        EXPECT_TRUE(check->text().isEmpty());
    }
    // Left column rows 0 to 5, right column 6 to 10.
    const auto x = [&](int i) { return frame->findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(i))->x(); };
    EXPECT_EQ(x(0), x(5));
    EXPECT_GT(x(6), x(5));
    EXPECT_EQ(about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("OK"));
}

TEST_F(AboutBox, IsModelessAndBuiltAfreshAfterOk) {
    ASSERT_TRUE(load());
    auto* about = openAbout();
    ASSERT_NE(about, nullptr);
    click(QStringLiteral("cmdNext"));
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("2")) << "the main window works beside the box";
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(openAbout(), about) << "a second About brings the same box forward";
    EXPECT_EQ(window->findChildren<QDialog*>(QStringLiteral("frmAbout")).size(), 1);

    about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    releaseClosed();
    EXPECT_TRUE(window->findChildren<QDialog*>(QStringLiteral("frmAbout")).isEmpty()) << "OK releases the box";
    auto* again = openAbout();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
}

}  // namespace
