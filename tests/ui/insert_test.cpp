// The Insert command: a copy of the record on the tab, numbered by the record manager.
#include "window_fixture.h"

namespace {

using records::TableId;

using Insert = WindowFixture;

TEST_F(Insert, CopiesTheRecordShownAndReportsTheNewNumber) {
    const struct {
        const char* caption;
        TableId table;
        const char* prompt;
        const char* title;
        const char* confirmation;
    } cases[] = {
        {"Races", TableId::Races, "Insert new race with this records data?", "Insert New Race",
         "Race Inserted at Record 41 using data Name 12"},
        {"Classes", TableId::Classes, "Insert new class with this records data?", "Insert New Class",
         "Class Inserted at Record 41 using data Name 12"},
        {"Spells", TableId::Spells, "Insert new spell with this records data?", "Insert New Spell",
         "Spell Inserted at Record 41 using data Name 12"},
        {"Messages", TableId::Messages, "Insert new Message with this records data?", "Insert New Message",
         "Message Inserted at Record 41 using data from record 12"},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.caption);
        gotoRecord(QString::fromLatin1(tc.caption), 12);
        dialogs.answers.push_back(editors::Answer::Yes);
        click(QStringLiteral("cmdInsert"));
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text, QString::fromLatin1(tc.prompt));
        EXPECT_EQ(dialogs.boxes[0].title, QString::fromLatin1(tc.title));
        EXPECT_EQ(dialogs.boxes[0].buttons, editors::Buttons::YesNo);
        EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_INSERT, B_GET_LAST}));
        EXPECT_EQ(status(), QString::fromLatin1(tc.confirmation));
        EXPECT_EQ(shownNumber(tc.table), QStringLiteral("41"));
        // The copy carries the source's text under its own number.
        const auto& file = records::tableFile(tc.table);
        const auto rows = test_support::readRows(file);
        ASSERT_EQ(rows.size(), 6u);
        auto copy = rows.back();
        EXPECT_EQ(test_support::rowNumber(file, copy), 41);
        const auto source = test_support::numberedRow(file, 12, "Name 12");
        EXPECT_TRUE(std::equal(copy.begin() + 2, copy.begin() + 20, source.begin() + 2));
    }
}

TEST_F(Insert, AnsweringNoChangesNothing) {
    ASSERT_TRUE(load());
    click(QStringLiteral("cmdNext"));
    seam.calls.clear();
    dialogs.answers.push_back(editors::Answer::No);
    click(QStringLiteral("cmdInsert"));
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(seam.calls.empty());
    EXPECT_EQ(status(), QString());
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("2"));
    // The structure kept its number: a delete now asks about record 2.
    click(QStringLiteral("cmdDelete"));
    EXPECT_EQ(dialogs.boxes.back().title, QStringLiteral("Delete Record 2?"));
}

TEST_F(Insert, MonstersAndItemsAreNotFinished) {
    ASSERT_TRUE(load());
    for (const auto* caption : {"Monsters", "Items"}) {
        select(QString::fromLatin1(caption));
        dialogs.boxes.clear();
        click(QStringLiteral("cmdInsert"));
        EXPECT_EQ(dialogs.texts(), std::vector<QString>{QStringLiteral("Sorry %1 are not finished.").arg(caption)});
        EXPECT_EQ(dialogs.boxes[0].buttons, editors::Buttons::Ok);
        EXPECT_TRUE(seam.calls.empty());
    }
}

TEST_F(Insert, FailuresAreReportedAndTheTabStays) {
    const struct {
        std::uint16_t operation;
        std::vector<std::uint16_t> calls;
        const char* shown;
        std::size_t rowsAfter;
    } cases[] = {
        {B_INSERT, {B_INSERT}, "Error on BINSERT: 5", 5},
        {B_GET_LAST, {B_INSERT, B_GET_LAST}, "Error on BGETLAST: 5", 6},  // the record went in all the same
    };
    for (const auto& tc : cases) {
        fillTable(TableId::Classes);
        ASSERT_TRUE(load());
        select(QStringLiteral("Classes"));
        seam.failNext(tc.operation, 5);
        dialogs.answers.push_back(editors::Answer::Yes);
        click(QStringLiteral("cmdInsert"));
        EXPECT_EQ(seam.operations(), tc.calls) << tc.shown;
        const auto texts = dialogs.texts();
        EXPECT_EQ(texts.back(), QString::fromLatin1(tc.shown));
        EXPECT_EQ(status(), QString());
        EXPECT_EQ(shownNumber(TableId::Classes), QStringLiteral("1"));
        window->close();
        EXPECT_EQ(test_support::readRows(records::tableFile(TableId::Classes)).size(), tc.rowsAfter) << tc.shown;
        dialogs.boxes.clear();
    }
}

}  // namespace
