// The launcher: what it says of a folder (in it or on a server), and, on the real
// window offscreen with a stand-in editor, the editor started in the chosen folder
// and the world remembered across launcher instances.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "launcher/editor_start.h"
#include "launcher/launcher_window.h"
#include "launcher/world_check.h"
#include "test_support/application.h"
#include "test_support/data_files.h"
#include "test_support/qt_print.h"
#include "test_support/server_schema.h"
#include "test_support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using records::TableId;

QString text(const fs::path& path) { return QString::fromStdString(path.string()); }
QString said(const fs::path& folder) { return launcher::describe(launcher::checkWorld(text(folder))); }

const QString kNone = QStringLiteral(
    " holds none of the six data files: wccrace2.dat, wccclas2.dat, wccspel2.dat, wccknms2.dat, wccitem2.dat, "
    "wccmsg2.dat.");
constexpr std::initializer_list<TableId> kSome = {TableId::Races, TableId::Classes, TableId::Monsters, TableId::Items};
constexpr std::initializer_list<TableId> kAll = {TableId::Races,    TableId::Classes, TableId::Spells,
                                                 TableId::Monsters, TableId::Items,   TableId::Messages};

// Copies the tables' files, made in the current folder, into a new folder.
void copyFiles(const fs::path& to, std::initializer_list<TableId> tables) {
    fs::create_directories(to);
    for (TableId table : tables)
        fs::copy_file(records::tableFile(table).fileName, to / records::tableFile(table).fileName);
}

TEST(WorldCheck, NamesWhatAFolderLacksOrWhyItCannotBeOpened) {
    test_support::TempFolder temp;
    ASSERT_EQ(test_support::createDataFiles(), 0);
    const struct {
        std::initializer_list<TableId> files;
        const char* directory;   // made in the folder when given
        const char* serverFile;  // written as wbtrv32.server when given
        QString said;
    } cases[] = {
        {{}, nullptr, nullptr, QStringLiteral("This folder") + kNone},
        {kSome, nullptr, nullptr, QStringLiteral("This folder lacks wccspel2.dat, wccmsg2.dat.")},
        {kAll, nullptr, nullptr, QStringLiteral("This folder holds the six data files.")},
        {kSome, "wccspel2.dat", "# not yet on a server\n",
         QStringLiteral("This folder lacks wccspel2.dat, wccmsg2.dat.")},
        {kAll, "wbtrv32.server", nullptr,
         QStringLiteral("This folder's wbtrv32.server is not a regular file (a link, folder, FIFO or device), so "
                        "the editor would open nothing here.")},
        {{}, nullptr, "host=/none", QStringLiteral("wccrace2.dat cannot be opened: 20 (database server lost).")},
    };
    int number = 0;
    for (const auto& tc : cases) {
        const fs::path folder = temp.path() / std::to_string(++number);
        copyFiles(folder, tc.files);
        if (tc.directory) fs::create_directory(folder / tc.directory);
        if (tc.serverFile) std::ofstream(folder / "wbtrv32.server") << tc.serverFile;
        EXPECT_EQ(said(folder), tc.said) << number;
    }
    EXPECT_EQ(said(temp.path() / "none"), QStringLiteral("This folder does not exist."));
    const fs::path deep = temp.path() / std::string(240, 'd');  // too long a name for the record manager's key buffer
    copyFiles(deep, {});
    std::ofstream(deep / "wbtrv32.server") << "host=/none";
    EXPECT_EQ(said(deep),
              QStringLiteral("The server this folder's wbtrv32.server names keeps the world; its data files "
                             "were not looked at, as the folder's path is too long for the record manager."));
}

// A folder naming a server in its wbtrv32.server, and any folder while
// WBTRV32_SERVER names one, hold what that server holds.
TEST(WorldCheck, LooksForTheFilesOnTheServerTheFolderOrTheEnvironmentNames) {
    if (!test_support::ServerSchema::available()) GTEST_SKIP() << "no test server (scripts/with-postgres)";
    test_support::TempFolder temp;
    test_support::ServerSchema schema;
    for (TableId table : kSome) ASSERT_EQ(test_support::createDataFile(records::tableFile(table)), 0);
    EXPECT_EQ(said(temp.path()), QStringLiteral("The server WBTRV32_SERVER names lacks wccspel2.dat, wccmsg2.dat."));
    for (TableId table : {TableId::Spells, TableId::Messages})
        ASSERT_EQ(test_support::createDataFile(records::tableFile(table)), 0);
    unsetenv("WBTRV32_SERVER");
    EXPECT_EQ(said(temp.path()), QStringLiteral("This folder") + kNone);
    std::ofstream("wbtrv32.server") << "# the team's world\n" << schema.connection() << '\n';
    EXPECT_EQ(said(temp.path()),
              QStringLiteral("The server this folder's wbtrv32.server names holds the six data files."));
}

template <typename Widget>
Widget* child(const QWidget& window, const char* name) {
    auto* found = window.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Waits for the check of the selected world and returns what the window says of it.
QString checkedStatus(const QWidget& window) {
    auto* status = child<QLabel>(window, "lblWorldStatus");
    EXPECT_TRUE(QTest::qWaitFor([status] { return !status->text().startsWith(QStringLiteral("Looking at")); }, 20000));
    return status->text();
}

TEST(LauncherWindow, StartsTheEditorInTheChosenWorldAndRemembersItAcrossInstances) {
    test_support::application();
    test_support::TempFolder temp;
    ASSERT_EQ(test_support::createDataFiles(), 0);
    const fs::path world = temp.path() / "world", empty = temp.path() / "empty", editor = temp.path() / "editor";
    copyFiles(world, kAll);
    copyFiles(empty, {});
    std::ofstream(editor) << "#!/bin/sh\npwd -P > '" << (temp.path() / "started-in").string() << "'\n";
    fs::permissions(editor, fs::perms::owner_all);
    QString error;
    EXPECT_FALSE(launcher::startEditor(text(temp.path() / "none"), text(world), error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("The editor ") + text(temp.path() / "none") + " could not be started"));
    QSettings settings(text(temp.path() / "launcher.ini"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("worlds"), QStringList{"relative/folder"});  // the user's file: ignored
    {
        QStringList chosen{text(empty), text(world) + '/'};
        launcher::LauncherWindow window(settings, text(editor), [&](QWidget*) { return chosen.takeFirst(); });
        window.show();
        auto* open = child<QPushButton>(window, "cmdOpen");
        EXPECT_TRUE(checkedStatus(window).startsWith(QStringLiteral("Choose the folder of a world")));
        child<QPushButton>(window, "cmdChooseFolder")->click();
        EXPECT_EQ(checkedStatus(window), QStringLiteral("This folder") + kNone);
        EXPECT_FALSE(open->isEnabled());
        child<QPushButton>(window, "cmdChooseFolder")->click();
        EXPECT_EQ(checkedStatus(window), QStringLiteral("This folder holds the six data files."));
        open->click();
        EXPECT_FALSE(window.isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(temp.path() / "started-in"); }, 20000));
        std::string startedIn;
        std::getline(std::ifstream(temp.path() / "started-in"), startedIn);
        EXPECT_EQ(startedIn, fs::canonical(world).string());
    }
    // Only the world the editor was started in is remembered; the next launcher offers it.
    launcher::LauncherWindow again(settings, text(editor), [](QWidget*) { return QString(); });
    auto* list = child<QListWidget>(again, "lstWorlds");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentItem()->text(), text(world));
    EXPECT_EQ(checkedStatus(again), QStringLiteral("This folder holds the six data files."));
    child<QPushButton>(again, "cmdForget")->click();
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(launcher::RecentWorlds(settings).folders().isEmpty());
}

}  // namespace
