// The Delete command: the question, the removal, the confirmation and the tabs
// that cannot delete.
#include <algorithm>

#include "window_fixture.h"

namespace {

using records::TableId;

using Delete = WindowFixture;

TEST_F(Delete, RemovesTheRecordShownAndShowsTheFirst) {
    const struct {
        const char* caption;
        TableId table;
        const char* confirmation;
    } cases[] = {
        {"Races", TableId::Races, "Race 12 Deleted. Name 12"},
        {"Classes", TableId::Classes, "Class 12 Deleted. Name 12"},
        {"Spells", TableId::Spells, "Spell 12 Deleted. Name 12"},
        {"Messages", TableId::Messages, "Message 12 Deleted. "},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.caption);
        gotoRecord(QString::fromLatin1(tc.caption), 12);
        dialogs.answers.push_back(editors::Answer::Yes);
        click(QStringLiteral("cmdDelete"));
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("Delete this record from database?"));
        EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("Delete Record 12?"));
        EXPECT_EQ(dialogs.boxes[0].buttons, editors::Buttons::YesNo);
        EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_DELETE, B_GET_FIRST}));
        EXPECT_EQ(status(), QString::fromLatin1(tc.confirmation));
        EXPECT_EQ(shownNumber(tc.table), QStringLiteral("1"));
        const auto& file = records::tableFile(tc.table);
        const auto rows = test_support::readRows(file);
        EXPECT_EQ(rows.size(), 4u);
        EXPECT_TRUE(std::none_of(rows.begin(), rows.end(),
                                 [&](const auto& row) { return test_support::rowNumber(file, row) == 12; }));
    }
}

// A name stored without a zero byte is shown at its full width, then one blank.
TEST_F(Delete, ConfirmationCarriesTheWholeNameField) {
    const auto& races = records::tableFile(TableId::Races);
    ASSERT_EQ(test_support::createDataFile(races), 0);
    const std::string name = "Human" + std::string(24, ' ');
    ASSERT_EQ(test_support::insertRows(races, {test_support::numberedRow(races, 5, name),
                                               test_support::numberedRow(races, 6, "Elf")}),
              0);
    ASSERT_TRUE(load());
    dialogs.answers.push_back(editors::Answer::Yes);
    click(QStringLiteral("cmdDelete"));
    EXPECT_EQ(status(), QStringLiteral("Race 5 Deleted. ") + QString::fromStdString(name) + QStringLiteral(" "));
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("6"));
}

TEST_F(Delete, TheOnlyRecordLeavesItsValuesOnTheTab) {
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

TEST_F(Delete, AnsweringNoAndFailureChangeNothing) {
    const struct {
        editors::Answer answer;
        bool failDelete;
        std::vector<std::uint16_t> calls;
        std::size_t boxes;
    } cases[] = {
        {editors::Answer::No, false, {}, 1},
        {editors::Answer::Yes, true, {B_DELETE}, 2},
    };
    for (const auto& tc : cases) {
        ASSERT_TRUE(load());
        select(QStringLiteral("Messages"));
        if (tc.failDelete) seam.failNext(B_DELETE, 80);
        dialogs.answers.push_back(tc.answer);
        click(QStringLiteral("cmdDelete"));
        EXPECT_EQ(seam.operations(), tc.calls);
        ASSERT_EQ(dialogs.boxes.size(), tc.boxes);
        if (tc.failDelete) {
            EXPECT_EQ(dialogs.boxes.back().text, QStringLiteral("Error on BDELETE: 80"));
        }
        EXPECT_EQ(status(), QString());
        EXPECT_EQ(shownNumber(TableId::Messages), QStringLiteral("1"));
        window->close();
        EXPECT_EQ(test_support::readRows(records::tableFile(TableId::Messages)).size(), 5u);
        dialogs.boxes.clear();
    }
}

TEST_F(Delete, OtherTabsAreNotFinished) {
    const std::pair<const char*, const char*> cases[] = {
        {"Monsters", "Sorry Monsters are not finished."},
        {"Items", "Sorry Items are not finished."},
        {"Text Blocks", "Sorry Text Blocks are not finished."},
        {"Rooms", "Sorry Rooms are not finished."},
        {"Shops/Trainers", "Sorry Shops are not finished."},
        {"Users", "Sorry Users are not finished."},
        {"Gangs", "Sorry Gangs are not finished."},
    };
    ASSERT_TRUE(load());
    for (const auto& [caption, shown] : cases) {
        select(QString::fromLatin1(caption));
        dialogs.boxes.clear();
        dialogs.answers.push_back(editors::Answer::Yes);  // must not be taken as a confirmation
        click(QStringLiteral("cmdDelete"));
        dialogs.answers.clear();
        ASSERT_EQ(dialogs.boxes.size(), 1u) << caption;
        EXPECT_EQ(dialogs.boxes[0].text, QString::fromLatin1(shown));
        EXPECT_TRUE(dialogs.boxes[0].title.isEmpty());
        EXPECT_EQ(dialogs.boxes[0].buttons, editors::Buttons::Ok);
        EXPECT_TRUE(seam.calls.empty()) << caption;
    }
}

}  // namespace
