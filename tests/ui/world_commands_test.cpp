// The commands beside About on the demo world, driven through object names: the
// names beside a monster's references, Find, Find Next, Where Used and Check World on
// every tab, a broken reference, and Find on the test server.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include "gamedata/demo_world.h"
#include "test_support/server_schema.h"
#include "ui/find_window.h"
#include "ui/tab_table.h"
#include "window_fixture.h"

namespace {

using records::TableId;

class WorldCommands : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(gamedata::writeDemoWorld(folder.path(), {std::nullopt, true}).ok());
    }

    QAction& action(const char* name) const { return *window->findChild<QAction*>(QString::fromLatin1(name)); }
    QListWidget* list(const char* name) const { return window->findChild<QListWidget*>(QString::fromLatin1(name)); }
    QStringList rows(const char* name) const {
        QStringList texts;
        if (const QListWidget* l = list(name))
            for (int i = 0; i < l->count(); ++i) texts << l->item(i)->text();
        return texts;
    }
    // Types into Find's box and waits until its search has read the whole table.
    void find(const QString& text) {
        auto* box = window->findChild<QLineEdit*>(QStringLiteral("txtFindText"));
        ASSERT_NE(box, nullptr);
        box->setText(text);
        QTRY_VERIFY(!window->findChild<ui::FindWindow*>(QStringLiteral("frmFind"))->searching());
    }
    // Chooses row i of the list as a double-click would.
    void choose(const char* name, int i) {
        QListWidget* l = list(name);
        l->setCurrentRow(i);
        emit l->itemActivated(l->item(i));
    }
    // Runs Check World to its end; its rows must hold the demo world's broken references.
    void checkWorld() {
        action("menuCheckWorld").trigger();
        QTRY_VERIFY_WITH_TIMEOUT(
            window->findChild<QLabel*>(QStringLiteral("lblCheckState"))->text().endsWith(QStringLiteral("found.")),
            20000);
        for (const char* trap : {"wccknms2.dat record 3 DropItem A: item 30000 does not exist",
                                 "wccknms2.dat record 12 SpellCastNumber B: spell 42 does not exist",
                                 "wccknms2.dat record 6 DeathMessage: message 99 does not exist"})
            EXPECT_TRUE(rows("lstProblems").contains(QString::fromLatin1(trap))) << trap;
    }
    static TableId tableOf(const QString& caption) {
        for (const auto& entry : ui::tabEntries())
            if (entry.caption == caption) return *entry.table;
        return TableId::Races;
    }
};

// Every tab: which commands it takes, what Find finds there (first row) and what
// Where Used lists for the record shown; a chosen row shows what Goto shows.
TEST_F(WorldCommands, EachCommandOnEachTab) {
    const struct {
        const char* caption;
        bool find, whereUsed;
        const char* text;       // typed into Find
        const char* firstFind;  // its first row
        std::int32_t shown;     // record for Where Used
        QStringList uses;
    } cases[] = {
        {"Races", true, false, "GLIMMERFÉE", "7  Glimmerfée  (Name)", 0, {}},
        {"Classes", true, false, "4", "4  Thornpriest  (Number)", 0, {}},
        {"Spells",
         true,
         true,
         "ember",
         "2  Emberlash  (Name)",
         10,
         {"10  Mire Witch  (SpellCastNumber B)", "16  Grove Warden Stag  (AttackAccuracy B)",
          "16  Grove Warden Stag  (AttackHitSpell B)", "16  Grove Warden Stag  (SpellCastNumber B)"}},
        {"Monsters", true, false, "vörn", "14  Ferryman of Vörn  (Name)", 0, {}},
        {"Items",
         true,
         true,
         "boar",
         "17  Boar Tusk Charm  (Name)",
         17,
         {"2  Gloomhound  (DropItem A)", "7  Thornback Boar  (DropItem A)"}},
        {"Messages",
         true,
         true,
         "CLAWS",
         "3  A shape pads softly past the edge of the light.  (Line2)",
         7,
         {"1  Marsh Lurker  (DeathMessage)", "11  Hollow Sovereign  (DeathMessage)",
          "16  Grove Warden Stag  (DeathMessage)"}},
        {"Text Blocks", false, false, "", "", 0, {}},
        {"Rooms", false, false, "", "", 0, {}},
        {"Shops/Trainers", false, false, "", "", 0, {}},
        {"Users", false, false, "", "", 0, {}},
        {"Gangs", false, false, "", "", 0, {}},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.caption);
        select(QString::fromLatin1(tc.caption));
        EXPECT_EQ(action("menuFind").isEnabled(), tc.find);
        EXPECT_EQ(action("menuFindNext").isEnabled(), tc.find);
        EXPECT_EQ(action("menuWhereUsed").isEnabled(), tc.whereUsed);
        EXPECT_TRUE(action("menuCheckWorld").isEnabled());
        EXPECT_EQ(action("menuHistory").isEnabled(), tc.find) << "History on every tab with a file";
        if (*tc.text) {
            action("menuFind").trigger();
            find(QString::fromUtf8(tc.text));
            ASSERT_FALSE(rows("lstFindResults").isEmpty());
            EXPECT_TRUE(rows("lstFindResults").front().startsWith(QString::fromUtf8(tc.firstFind)))
                << rows("lstFindResults").front().toStdString();
            const QString caption = QString::fromLatin1(tc.caption);
            gotoRecord(caption, rows("lstFindResults").front().section(' ', 0, 0).toInt());
            const std::pair goTo{status(), shownNumber(tableOf(caption))};
            gotoRecord(caption, 1);
            choose("lstFindResults", 0);
            EXPECT_EQ(std::pair(status(), shownNumber(tableOf(caption))), goTo);
        }
        if (tc.whereUsed) {
            gotoRecord(QString::fromLatin1(tc.caption), tc.shown);
            action("menuWhereUsed").trigger();
            EXPECT_EQ(rows("lstWhereUsed"), tc.uses);
        }
    }
}

// The name boxes follow the monster shown, show a broken reference as such and never
// keep a name from the monster before; the tab's own block sees only Goto's read.
TEST_F(WorldCommands, NamesBesideAMonstersReferences) {
    const struct {
        std::int32_t monster;
        std::vector<std::pair<const char*, const char*>> boxes;
    } cases[] = {
        {10,
         {{"txtMonsterWeaponName", "Mire Witch's Ladle"},
          {"txtMonsterDropItemNameA", "Mire Witch's Ladle"},
          {"txtMonsterDropItemNameB", "Healer's Satchel"},
          {"txtMonsterDropItemNameD", ""}}},
        {3, {{"txtMonsterWeaponName", ""}, {"txtMonsterDropItemNameA", "(none: item 30000)"}}},
        {12, {{"txtMonsterSpellCastNameA", ""}, {"txtMonsterSpellCastNameB", "(none: spell 42)"}}},
        {14, {{"txtMonsterWeaponName", "Ashwood Staff"}, {"txtMonsterDropItemNameB", ""}}},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.monster);
        select(QStringLiteral("Monsters"));
        dialogs.inputs.push_back(QString::number(tc.monster));
        click(QStringLiteral("cmdGoto"));
        for (const auto& [box, name] : tc.boxes)
            EXPECT_EQ(text(QString::fromLatin1(box)), QString::fromUtf8(name)) << box;
        ASSERT_FALSE(seam.calls.empty());
        const void* tab = seam.calls.front().positionBlock;
        EXPECT_EQ(seam.calls.front().operation, B_GET_EQUAL) << "Goto's read comes first";
        for (std::size_t i = 1; i < seam.calls.size(); ++i) EXPECT_NE(seam.calls[i].positionBlock, tab);
        forget();
        click(QStringLiteral("cmdNext"));
        EXPECT_EQ(shownNumber(TableId::Monsters), QString::number(tc.monster + 1)) << "the tab's position stays";
        forget();
    }
}

// Start-up and shut-down on a world whose monsters name items and spells: the six
// files' blocks get exactly the calls they got before, in the same order; the names
// are read through read-only blocks of their own, which Stop closes.
TEST_F(WorldCommands, StartUpAndShutDownCallTheSixBlocksAsBefore) {
    window = std::make_unique<ui::MainWindow>(dialogs, seam.call());
    ASSERT_TRUE(window->Form_Load());
    std::vector<const void*> own;
    std::vector<std::pair<std::uint16_t, std::string>> ownCalls;
    for (const auto& c : seam.calls) {
        if (c.operation == B_OPEN && c.keyNumber != B_MODE_READ_ONLY) own.push_back(c.positionBlock);
        if (std::ranges::find(own, c.positionBlock) != own.end())
            ownCalls.emplace_back(c.operation, c.fileName);
        else
            EXPECT_TRUE(c.operation == B_GET_EQUAL || (c.operation == B_OPEN && c.keyNumber == B_MODE_READ_ONLY));
    }
    std::vector<std::pair<std::uint16_t, std::string>> expected;
    for (const auto& t : records::kTableFiles) {
        expected.emplace_back(B_OPEN, std::string(t.fileName));
        expected.emplace_back(B_GET_FIRST, "");
    }
    EXPECT_EQ(ownCalls, expected);
    EXPECT_EQ(text(QStringLiteral("txtMonsterDropItemNameA")), QStringLiteral("Coil of Hemp Rope"));
    forget();
    window->close();
    EXPECT_EQ(seam.operations(),
              (std::vector<std::uint16_t>{B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_CLOSE, B_STOP, B_RESET}));
}

// Where Used chooses the sub-tab of the field; Find Next wraps; Check World lists the
// demo world's traps and shows the record of a chosen problem.
TEST_F(WorldCommands, WhereUsedFindNextAndCheckWorld) {
    ASSERT_TRUE(load());
    gotoRecord(QStringLiteral("Spells"), 10);
    action("menuWhereUsed").trigger();
    choose("lstWhereUsed", 2);  // 16 Grove Warden Stag, AttackHitSpell B
    EXPECT_EQ(tabs().tabText(tabs().currentIndex()), QStringLiteral("Monsters"));
    EXPECT_EQ(shownNumber(TableId::Monsters), QStringLiteral("16"));
    EXPECT_EQ(window->findChild<QTabWidget*>(QStringLiteral("SSTab2"))->currentIndex(), 2) << "Attacks";
    EXPECT_EQ(window->findChild<QTabWidget*>(QStringLiteral("SSTab3"))->currentIndex(), 3) << "attack B";

    action("menuFind").trigger();
    find(QStringLiteral("gloomhound"));
    EXPECT_EQ(rows("lstFindResults").size(), 2);
    for (const char* next : {"2", "3", "2"}) {
        action("menuFindNext").trigger();
        EXPECT_EQ(shownNumber(TableId::Monsters), QString::fromLatin1(next));
    }

    checkWorld();
    const QStringList problems = rows("lstProblems");
    choose("lstProblems", static_cast<int>(problems.indexOf(
                              QStringLiteral("wccknms2.dat record 3 DropItem A: item 30000 does not exist"))));
    EXPECT_EQ(shownNumber(TableId::Monsters), QStringLiteral("3"));
}

// History of a race changed with Update: the row names the field, Revert puts the
// old value back on the tab and in the file, a change made meanwhile through another
// block refuses it (80) as Update is refused; Monsters are read-only; with the
// journal off the window says so.
TEST_F(WorldCommands, HistoryAndRevert) {
    ASSERT_TRUE(load());
    gotoRecord(QStringLiteral("Races"), 2);
    auto* cp = window->findChild<QLineEdit*>(QStringLiteral("txtRaceCP"));
    const QString old = cp->text(), changed = QString::number(old.toInt() + 7);
    cp->setText(changed);
    click(QStringLiteral("cmdUpdate"));
    action("menuHistory").trigger();
    const auto state = [&] { return window->findChild<QLabel*>(QStringLiteral("lblHistoryState"))->text(); };
    const auto revert = [&](int row) {
        list("lstHistory")->setCurrentRow(row);
        dialogs.answers.push_back(editors::Answer::Yes);
        window->findChild<QPushButton*>(QStringLiteral("cmdRevert"))->click();
    };
    const auto record = [&] { return window->findChild<QPlainTextEdit*>(QStringLiteral("txtHistoryRecord")); };
    QStringList history = rows("lstHistory");
    ASSERT_EQ(history.size(), 2) << state().toStdString();
    EXPECT_TRUE(history[0].contains(QStringLiteral("update")) && history[0].endsWith("CP " + old + " → " + changed))
        << history[0].toStdString();
    EXPECT_TRUE(history[1].contains(QStringLiteral("insert")));
    EXPECT_TRUE(record()->isReadOnly());
    list("lstHistory")->setCurrentRow(1);
    EXPECT_TRUE(record()->toPlainText().contains("\nCP: " + old + "\n"));

    forget();
    revert(1);
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes.front().buttons, editors::Buttons::YesNo);
    EXPECT_EQ(cp->text(), old);
    EXPECT_TRUE(status().startsWith(QStringLiteral("Race 2 Reverted to entry "))) << status().toStdString();
    history = rows("lstHistory");
    ASSERT_EQ(history.size(), 3);
    EXPECT_TRUE(history[0].endsWith("CP " + changed + " → " + old)) << "the revert is a change of its own";

    // Another block changes the record after the history was read: refused, and the tab shows the change.
    {
        wbtrv::client::File other;
        ASSERT_EQ(other.open("wccrace2.dat"), B_NO_ERROR);
        const std::array<std::uint8_t, 2> key{2, 0};
        ASSERT_EQ(other.find(wbtrv::client::Find::Equal, 0, key), B_NO_ERROR);
        std::vector<std::uint8_t> elsewhere(other.record().begin(), other.record().end());
        elsewhere.back() ^= 1;
        ASSERT_EQ(other.update(elsewhere), B_NO_ERROR);
    }
    forget();
    revert(1);
    EXPECT_EQ(dialogs.texts(), (std::vector<QString>{dialogs.boxes.front().text, "Error on BUPDATE: 80"}));
    EXPECT_EQ(rows("lstHistory").size(), 4) << "listed afresh, with the other block's change";

    // The monsters cannot be saved: their history is read-only.
    select(QStringLiteral("Monsters"));
    action("menuHistory").trigger();
    EXPECT_FALSE(rows("lstHistory").isEmpty());
    EXPECT_FALSE(window->findChild<QPushButton*>(QStringLiteral("cmdRevert"))->isEnabled());

    ASSERT_EQ(wbtrv::client::switchJournal("wccknms2.dat", false), B_NO_ERROR);
    action("menuHistory").trigger();
    EXPECT_TRUE(state().contains(QStringLiteral("is off"))) << state().toStdString();
}

// Find and Check World on a world kept by the test server.
TEST_F(WorldCommands, FindOnTheServer) {
    if (!test_support::ServerSchema::available()) GTEST_SKIP() << "GRIM_TEST_PG is not set: no server to test on";
    test_support::ServerSchema schema;
    ASSERT_TRUE(gamedata::writeDemoWorld(folder.path(), {std::nullopt, true}).ok());
    ASSERT_TRUE(load());
    select(QStringLiteral("Items"));
    action("menuFind").trigger();
    find(QStringLiteral("COIN"));
    EXPECT_EQ(rows("lstFindResults"),
              (QStringList{"-2147483648  The First Coin  (Name)", "21  Ferryman's Copper Coin  (Name)",
                           "2147483647  The Last Coin  (Name)"}));
    checkWorld();
    std::string files;
    ASSERT_TRUE(schema.sql("SELECT count(*) FROM wbtrv_files", &files));
    EXPECT_EQ(files, "6") << "the world lives on the server";
}

}  // namespace
