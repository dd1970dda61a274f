// The window's start-up on the six data files and its shut-down.
#include <filesystem>

#include <QAction>
#include <QDialog>
#include <QLabel>

#include "ui/app_icon.h"
#include "window_fixture.h"

namespace {

using records::TableId;

using StartUpShutDown = WindowFixture;

// Start-up gives the window its caption and shows every table's first record and the
// application's own icon on the window and the About box; shut-down runs once and ends with the web page (the
// failures of its calls are the store's tests).
TEST_F(StartUpShutDown, StartUpIconAndShutDown) {
    ASSERT_TRUE(load());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarrow Grimhold Editor v0.4"));
    for (const auto& table : records::kTableFiles) EXPECT_EQ(shownNumber(table.id), QStringLiteral("1"));
    EXPECT_EQ(text(QStringLiteral("txtRaceName")), QStringLiteral("Name 1"));
    EXPECT_EQ(text(QStringLiteral("txtMessageLine1")), QStringLiteral("Name 1"));

    window->findChild<QAction*>(QStringLiteral("menuAbout"))->trigger();
    const auto* about = window->findChild<QDialog*>(QStringLiteral("frmAbout"));
    ASSERT_NE(about, nullptr);
    const auto* picture = about->findChild<QLabel*>(QStringLiteral("picIcon"));
    ASSERT_NE(picture, nullptr);
    const QImage icon = ui::applicationIcon().pixmap(48, 48).toImage();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(picture->pixmap().toImage(), icon);
    EXPECT_EQ(window->windowIcon().pixmap(48, 48).toImage(), icon);

    forget();
    window->close();
    EXPECT_EQ(seam.operations(),
              (std::vector<std::uint16_t>{B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_STOP, B_RESET}));
    EXPECT_EQ(dialogs.texts(), std::vector<QString>{QStringLiteral("https://grimhold.example.org/editor")});
    seam.calls.clear();
    window->Form_Unload();
    EXPECT_TRUE(seam.calls.empty()) << "shut-down runs once";
}

TEST_F(StartUpShutDown, MissingClassFileStopsAfterTheRaces) {
    std::filesystem::remove("wccclas2.dat");
    window = std::make_unique<ui::MainWindow>(dialogs, seam.call());
    EXPECT_FALSE(window->Form_Load());
    EXPECT_EQ(dialogs.texts(), std::vector<QString>{QStringLiteral("Error on BOPEN CLASS: 12")});
    EXPECT_EQ(seam.openedFiles(), (std::vector<std::string>{"wccrace2.dat", "wccclas2.dat"}));
    EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_OPEN, B_GET_FIRST, B_OPEN}));
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("1"));
    forget();
    window->close();
    EXPECT_TRUE(seam.calls.empty()) << "no shut-down after a failed Open";
    EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
