// The window's start-up on the six data files and its shut-down.
#include <filesystem>

#include <QAction>
#include <QDialog>
#include <QLabel>

#include "ui/app_icon.h"
#include "ui/application_info.h"
#include "window_fixture.h"

namespace {

using records::TableId;

using StartUpShutDown = WindowFixture;

TEST_F(StartUpShutDown, StartUpShowsTheFirstRecordOfEveryTable) {
    ASSERT_TRUE(load());
    for (const auto& table : records::kTableFiles) EXPECT_EQ(shownNumber(table.id), QStringLiteral("1"));
    EXPECT_EQ(text(QStringLiteral("txtRaceName")), QStringLiteral("Name 1"));
    EXPECT_EQ(text(QStringLiteral("txtMessageLine1")), QStringLiteral("Name 1"));
}

TEST_F(StartUpShutDown, MissingClassFileStopsAfterTheRaces) {
    std::filesystem::remove("wccclas2.dat");
    window = std::make_unique<ui::MainWindow>(dialogs, seam.call());
    EXPECT_FALSE(window->Form_Load());
    EXPECT_EQ(dialogs.texts(), std::vector<QString>{QStringLiteral("Error on BOPEN CLASS: 12")});
    EXPECT_EQ(seam.openedFiles(), (std::vector<std::string>{"wccrace2.dat", "wccclas2.dat"}));
    EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_OPEN, B_GET_FIRST, B_OPEN}));
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("1"));
    seam.calls.clear();
    dialogs.boxes.clear();
    window->close();
    EXPECT_TRUE(seam.calls.empty()) << "no shut-down after a failed Open";
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(StartUpShutDown, EmptySpellFileIsSilent) {
    ASSERT_EQ(test_support::createDataFile(records::tableFile(TableId::Spells)), 0);
    window = std::make_unique<ui::MainWindow>(dialogs, seam.call());
    ASSERT_TRUE(window->Form_Load());
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(shownNumber(TableId::Spells), QString());
    EXPECT_EQ(shownNumber(TableId::Messages), QStringLiteral("1"));
}

// Shut-down runs once and ends with the web page; the failures of its calls are the
// store's tests.
TEST_F(StartUpShutDown, ShutDownClosesStopsResetsAndShowsTheWebPage) {
    ASSERT_TRUE(load());
    window->close();
    EXPECT_EQ(seam.operations(),
              (std::vector<std::uint16_t>{B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_STOP, B_RESET}));
    EXPECT_EQ(dialogs.texts(), std::vector<QString>{ui::webPageAddress()});
    seam.calls.clear();
    window->Form_Unload();
    EXPECT_TRUE(seam.calls.empty()) << "shut-down runs once";
}

// The window and the About box's picture show the application's own icon.
TEST_F(StartUpShutDown, WindowAndAboutBoxShowTheApplicationIcon) {
    ASSERT_TRUE(load());
    window->findChild<QAction*>(QStringLiteral("menuAbout"))->trigger();
    const auto* about = window->findChild<QDialog*>(QStringLiteral("frmAbout"));
    ASSERT_NE(about, nullptr);
    const auto* picture = about->findChild<QLabel*>(QStringLiteral("picIcon"));
    ASSERT_NE(picture, nullptr);
    const QImage icon = ui::applicationIcon().pixmap(48, 48).toImage();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(picture->pixmap().toImage(), icon);
    EXPECT_EQ(window->windowIcon().pixmap(48, 48).toImage(), icon);
}

}  // namespace
