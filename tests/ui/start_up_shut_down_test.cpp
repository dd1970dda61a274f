// The window's controls, its start-up on the six data files and its shut-down.
#include <QAction>
#include <QMenuBar>
#include <filesystem>

#include "ui/application_info.h"
#include "window_fixture.h"

namespace {

using records::TableId;

using StartUpShutDown = WindowFixture;

TEST_F(StartUpShutDown, WindowHasItsTabsButtonsAndMenu) {
    ASSERT_TRUE(load());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarrow Grimhold Editor v0.4"));
    const QStringList captions{"Races",       "Classes", "Spells",         "Monsters", "Items", "Messages",
                               "Text Blocks", "Rooms",   "Shops/Trainers", "Users",    "Gangs"};
    ASSERT_EQ(tabs().count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) EXPECT_EQ(tabs().tabText(i), captions[i]);
    EXPECT_EQ(tabs().currentIndex(), 0);

    const std::pair<const char*, const char*> buttons[] = {
        {"cmdFirst", "<<"},  {"cmdNext", ">"},        {"cmdPrevious", "<"},    {"cmdLast", ">>"},
        {"cmdGoto", "Goto"}, {"cmdInsert", "Insert"}, {"cmdDelete", "Delete"}, {"cmdUpdate", "Update Record"}};
    QPushButton* previous = nullptr;
    for (const auto& [name, caption] : buttons) {
        auto* button = window->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QString::fromLatin1(caption));
        if (previous) {
            EXPECT_EQ(button->y(), previous->y()) << name << " stands in the row";
            EXPECT_GT(button->x(), previous->x()) << name;
            EXPECT_EQ(previous->nextInFocusChain(), button) << name << " follows in the tab order";
        }
        previous = button;
    }
    auto* about = window->findChild<QAction*>(QStringLiteral("menuAbout"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), QStringLiteral("&About"));
    EXPECT_NE(window->findChild<QLineEdit*>(QStringLiteral("txtStatus")), nullptr);
}

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

TEST_F(StartUpShutDown, ShutDownClosesStopsResetsAndShowsTheWebPage) {
    const struct {
        std::size_t failingClose;  // 5: none fails
        std::vector<QString> shown;
    } cases[] = {
        {5, {ui::webPageAddress()}},
        {0, {QStringLiteral("Error on BCLOSE RACE: 3"), ui::webPageAddress()}},
        {3, {QStringLiteral("Error on Bclose MONSTER: 3"), ui::webPageAddress()}},
    };
    for (const auto& tc : cases) {
        ASSERT_TRUE(load());
        if (tc.failingClose < 5) seam.failNext(B_CLOSE, 3, tc.failingClose);
        window->close();
        EXPECT_EQ(seam.operations(),
                  (std::vector<std::uint16_t>{B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_STOP, B_RESET}));
        EXPECT_EQ(dialogs.texts(), tc.shown);
        EXPECT_TRUE(dialogs.boxes.back().title.isEmpty());
        EXPECT_EQ(dialogs.boxes.back().buttons, editors::Buttons::Ok);
        seam.calls.clear();
        window->Form_Unload();
        EXPECT_TRUE(seam.calls.empty()) << "shut-down runs once";
    }
    EXPECT_EQ(ui::webPageAddress(), QStringLiteral("https://grimhold.example.org/editor"));
}

}  // namespace
