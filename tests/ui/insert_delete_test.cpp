// The Insert and Delete commands: the question, the copy or removal, the
// confirmation, answering No, failed calls and the tabs that cannot do either.
#include <algorithm>

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
        const char* inserted;
        const char* deleted;
    } cases[] = {
        {"Races", TableId::Races, "Race Inserted at Record 41 using data Name 12", "Race 12 Deleted. Name 12"},
        {"Classes", TableId::Classes, "Class Inserted at Record 41 using data Name 12", "Class 12 Deleted. Name 12"},
        {"Spells", TableId::Spells, "Spell Inserted at Record 41 using data Name 12", "Spell 12 Deleted. Name 12"},
        {"Messages", TableId::Messages, "Message Inserted at Record 41 using data from record 12",
         "Message 12 Deleted. "},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.caption);
        const auto& file = records::tableFile(tc.table);
        gotoRecord(QString::fromLatin1(tc.caption), 12);
        dialogs.answers.push_back(editors::Answer::Yes);
        click(QStringLiteral("cmdInsert"));
        ASSERT_EQ(dialogs.boxes.size(), 1u);
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

// Answering No calls nothing. An Insert whose Get Last fails has added its record
// all the same, but the tab keeps the record it showed. (Refused writes: the editors' tests.)
TEST_F(InsertDelete, AnsweringNoAndAFailedGetLast) {
    const struct {
        const char* caption;
        const char* button;
        editors::Answer answer;
        std::vector<std::uint16_t> calls;
        std::size_t rowsAfter;
    } cases[] = {
        {"Races", "cmdInsert", editors::Answer::No, {}, 5},
        {"Messages", "cmdDelete", editors::Answer::No, {}, 5},
        {"Classes", "cmdInsert", editors::Answer::Yes, {B_INSERT, B_GET_LAST}, 6},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases) {
        SCOPED_TRACE(std::string(tc.caption) + " " + tc.button);
        gotoRecord(QString::fromLatin1(tc.caption), 2);
        const auto table = static_cast<TableId>(tabs().currentIndex());
        seam.failNext(B_GET_LAST, 5);
        dialogs.answers.push_back(tc.answer);
        click(QString::fromLatin1(tc.button));
        EXPECT_EQ(seam.operations(), tc.calls);
        EXPECT_EQ(dialogs.texts().size(), tc.calls.empty() ? 1u : 2u);
        EXPECT_EQ(status(), QString());
        EXPECT_EQ(shownNumber(table), QStringLiteral("2"));
        EXPECT_EQ(test_support::readRows(records::tableFile(table)).size(), tc.rowsAfter);
        if (tc.calls.empty()) {
            // The structure kept its number: a delete now asks about record 2.
            click(QStringLiteral("cmdDelete"));
            EXPECT_EQ(dialogs.boxes.back().title, QStringLiteral("Delete Record 2?"));
        }
        seam = {};
    }
}

}  // namespace
