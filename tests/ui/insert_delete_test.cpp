// The Insert and Delete commands: the question, the copy or removal, the
// confirmation, answering No, failed calls and the tabs that cannot do either.
#include <algorithm>
#include <tuple>

#include "window_fixture.h"

namespace {

using records::TableId;

using InsertDelete = WindowFixture;

// On record 12 of each saved table: Insert copies it as record 41 (the highest is
// 40), then Delete on record 12 removes it and shows the first record.
TEST_F(InsertDelete, CopiesAndRemovesTheRecordShown) {
    const struct {
        const char* caption;
        TableId table;
        const char* prompt;
        const char* title;
        const char* inserted;
        const char* deleted;
    } cases[] = {
        {"Races", TableId::Races, "Insert new race with this records data?", "Insert New Race",
         "Race Inserted at Record 41 using data Name 12", "Race 12 Deleted. Name 12"},
        {"Classes", TableId::Classes, "Insert new class with this records data?", "Insert New Class",
         "Class Inserted at Record 41 using data Name 12", "Class 12 Deleted. Name 12"},
        {"Spells", TableId::Spells, "Insert new spell with this records data?", "Insert New Spell",
         "Spell Inserted at Record 41 using data Name 12", "Spell 12 Deleted. Name 12"},
        {"Messages", TableId::Messages, "Insert new Message with this records data?", "Insert New Message",
         "Message Inserted at Record 41 using data from record 12", "Message 12 Deleted. "},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.caption);
        const auto& file = records::tableFile(tc.table);
        gotoRecord(QString::fromLatin1(tc.caption), 12);
        dialogs.answers.push_back(editors::Answer::Yes);
        click(QStringLiteral("cmdInsert"));
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text, QString::fromLatin1(tc.prompt));
        EXPECT_EQ(dialogs.boxes[0].title, QString::fromLatin1(tc.title));
        EXPECT_EQ(dialogs.boxes[0].buttons, editors::Buttons::YesNo);
        EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_INSERT, B_GET_LAST}));
        EXPECT_EQ(status(), QString::fromLatin1(tc.inserted));
        EXPECT_EQ(shownNumber(tc.table), QStringLiteral("41"));
        // The copy carries the source's text under its own number.
        auto rows = test_support::readRows(file);
        ASSERT_EQ(rows.size(), 6u);
        EXPECT_EQ(test_support::rowNumber(file, rows.back()), 41);
        const auto source = test_support::numberedRow(file, 12, "Name 12");
        EXPECT_TRUE(std::equal(rows.back().begin() + 2, rows.back().begin() + 20, source.begin() + 2));

        gotoRecord(QString::fromLatin1(tc.caption), 12);
        dialogs.answers.push_back(editors::Answer::Yes);
        click(QStringLiteral("cmdDelete"));
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("Delete this record from database?"));
        EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("Delete Record 12?"));
        EXPECT_EQ(dialogs.boxes[0].buttons, editors::Buttons::YesNo);
        EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_DELETE, B_GET_FIRST}));
        EXPECT_EQ(status(), QString::fromLatin1(tc.deleted));
        EXPECT_EQ(shownNumber(tc.table), QStringLiteral("1"));
        rows = test_support::readRows(file);
        EXPECT_EQ(rows.size(), 5u);
        EXPECT_TRUE(std::none_of(rows.begin(), rows.end(),
                                 [&](const auto& row) { return test_support::rowNumber(file, row) == 12; }));
    }
}

// A name stored without a zero byte is shown at its full width, then one blank.
TEST_F(InsertDelete, DeleteConfirmationCarriesTheWholeNameField) {
    const auto& races = records::tableFile(TableId::Races);
    ASSERT_EQ(test_support::createDataFile(races), 0);
    const std::string name = "Human" + std::string(24, ' ');
    ASSERT_EQ(test_support::insertRows(
                  races, {test_support::numberedRow(races, 5, name), test_support::numberedRow(races, 6, "Elf")}),
              0);
    ASSERT_TRUE(load());
    dialogs.answers.push_back(editors::Answer::Yes);
    click(QStringLiteral("cmdDelete"));
    EXPECT_EQ(status(), QStringLiteral("Race 5 Deleted. ") + QString::fromStdString(name) + QStringLiteral(" "));
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("6"));
}

TEST_F(InsertDelete, DeletingTheOnlyRecordLeavesItsValuesOnTheTab) {
    fillTable(TableId::Spells, {9});
    ASSERT_TRUE(load());
    select(QStringLiteral("Spells"));
    dialogs.answers.push_back(editors::Answer::Yes);
    click(QStringLiteral("cmdDelete"));
    EXPECT_EQ(dialogs.boxes.size(), 1u) << "the empty file is silent";
    EXPECT_EQ(status(), QStringLiteral("Spell 9 Deleted. Name 9"));
    EXPECT_EQ(shownNumber(TableId::Spells), QStringLiteral("9"));
    EXPECT_TRUE(test_support::readRows(records::tableFile(TableId::Spells)).empty());
}

// Answering No calls nothing; a failed call is reported, the status line stays
// empty and the tab keeps its record. Only an Insert whose Get Last fails has
// added its record all the same.
TEST_F(InsertDelete, AnsweringNoAndFailedCallsChangeNothing) {
    const struct {
        const char* caption;
        const char* button;
        editors::Answer answer;
        std::uint16_t failing;  // 0: none
        std::vector<std::uint16_t> calls;
        const char* reported;  // nullptr: only the question was asked
        std::size_t rowsAfter;
    } cases[] = {
        {"Races", "cmdInsert", editors::Answer::No, 0, {}, nullptr, 5},
        {"Messages", "cmdDelete", editors::Answer::No, 0, {}, nullptr, 5},
        {"Classes", "cmdInsert", editors::Answer::Yes, B_INSERT, {B_INSERT}, "Error on BINSERT: 5", 5},
        {"Classes", "cmdInsert", editors::Answer::Yes, B_GET_LAST, {B_INSERT, B_GET_LAST}, "Error on BGETLAST: 5", 6},
        {"Messages", "cmdDelete", editors::Answer::Yes, B_DELETE, {B_DELETE}, "Error on BDELETE: 5", 5},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(std::string(tc.caption) + " " + tc.button + " failing " + std::to_string(tc.failing));
        const TableId table = tc.caption == std::string("Races")     ? TableId::Races
                              : tc.caption == std::string("Classes") ? TableId::Classes
                                                                     : TableId::Messages;
        fillTable(table);
        ASSERT_TRUE(load());
        gotoRecord(QString::fromLatin1(tc.caption), 2);
        if (tc.failing) seam.failNext(tc.failing, 5);
        dialogs.answers.push_back(tc.answer);
        click(QString::fromLatin1(tc.button));
        EXPECT_EQ(seam.operations(), tc.calls);
        ASSERT_EQ(dialogs.boxes.size(), tc.reported ? 2u : 1u);
        if (tc.reported) {
            EXPECT_EQ(dialogs.boxes.back().text, QString::fromLatin1(tc.reported));
        }
        EXPECT_EQ(status(), QString());
        EXPECT_EQ(shownNumber(table), QStringLiteral("2"));
        if (tc.answer == editors::Answer::No && tc.button == std::string("cmdInsert")) {
            // The structure kept its number: a delete now asks about record 2.
            click(QStringLiteral("cmdDelete"));
            EXPECT_EQ(dialogs.boxes.back().title, QStringLiteral("Delete Record 2?"));
        }
        window->close();
        EXPECT_EQ(test_support::readRows(records::tableFile(table)).size(), tc.rowsAfter);
        dialogs.boxes.clear();
    }
}

// The tabs without an editable table answer with one OK box and call nothing,
// even with a Yes waiting to be taken as a confirmation.
TEST_F(InsertDelete, OtherTabsAreNotFinished) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"cmdInsert", "Monsters", "Sorry Monsters are not finished."},
        {"cmdInsert", "Items", "Sorry Items are not finished."},
        {"cmdDelete", "Monsters", "Sorry Monsters are not finished."},
        {"cmdDelete", "Items", "Sorry Items are not finished."},
        {"cmdDelete", "Text Blocks", "Sorry Text Blocks are not finished."},
        {"cmdDelete", "Rooms", "Sorry Rooms are not finished."},
        {"cmdDelete", "Shops/Trainers", "Sorry Shops are not finished."},
        {"cmdDelete", "Users", "Sorry Users are not finished."},
        {"cmdDelete", "Gangs", "Sorry Gangs are not finished."},
    };
    ASSERT_TRUE(load());
    for (const auto& [button, caption, shown] : cases) {
        SCOPED_TRACE(std::string(button) + " on " + caption);
        select(QString::fromLatin1(caption));
        dialogs.boxes.clear();
        dialogs.answers.push_back(editors::Answer::Yes);
        click(QString::fromLatin1(button));
        dialogs.answers.clear();
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text, QString::fromLatin1(shown));
        EXPECT_TRUE(dialogs.boxes[0].title.isEmpty());
        EXPECT_EQ(dialogs.boxes[0].buttons, editors::Buttons::Ok);
        EXPECT_TRUE(seam.calls.empty());
    }
}

}  // namespace
