// The Goto command: its input box, how the answer becomes a record number, and the read.
#include <optional>

#include "window_fixture.h"

namespace {

using records::TableId;

using Goto = WindowFixture;

TEST_F(Goto, AnswersAndWhereTheyLead) {
    const struct {
        std::optional<QString> answer;  // nullopt: Cancel
        const char* shown;              // the number on the tab afterwards
        std::vector<QString> boxes;     // after the input box
        bool reads;                     // whether the record manager is called
    } cases[] = {
        {QStringLiteral("  12  "), "12", {}, true},
        {QStringLiteral("2.5"), "2", {}, true},
        {QStringLiteral("3.5"), "4", {}, true},
        {QStringLiteral("7"), "1", {QStringLiteral("Error on BGETEQUAL: 4")}, true},
        {QStringLiteral("abc"), "1", {}, false},
        {std::nullopt, "1", {}, false},
        {QStringLiteral("0"), "1", {}, false},
        {QStringLiteral("99999999999"), "1", {}, false},
        {QStringLiteral("１２"), "1", {}, false},  // digits of another script are no number here
    };
    ASSERT_TRUE(load());
    select(QStringLiteral("Messages"));
    for (const auto& tc : cases) {
        const auto shownAnswer = tc.answer.value_or(QStringLiteral("<cancel>")).left(20).toStdString();
        click(QStringLiteral("cmdFirst"));
        seam.calls.clear();
        dialogs.boxes.clear();
        dialogs.inputs.push_back(tc.answer);
        click(QStringLiteral("cmdGoto"));
        ASSERT_FALSE(dialogs.boxes.empty());
        const auto& box = dialogs.boxes.front();
        EXPECT_TRUE(box.isInput);
        EXPECT_EQ(box.text, QStringLiteral("Goto what record?"));
        EXPECT_EQ(box.title, QStringLiteral("Goto"));
        EXPECT_EQ(box.defaultAnswer, QStringLiteral("1"));
        const auto texts = dialogs.texts();
        const std::vector<QString> after(texts.begin() + 1, texts.end());
        EXPECT_EQ(after, tc.boxes) << shownAnswer;
        EXPECT_EQ(shownNumber(TableId::Messages), QString::fromLatin1(tc.shown)) << shownAnswer;
        EXPECT_EQ(seam.operations(), tc.reads ? std::vector<std::uint16_t>{B_GET_EQUAL} : std::vector<std::uint16_t>{})
            << shownAnswer;
        for (const auto& call : seam.calls) EXPECT_EQ(call.keyLength, 4);
    }
}

TEST_F(Goto, NextMovesOnFromTheRecordReached) {
    ASSERT_TRUE(load());
    select(QStringLiteral("Races"));
    dialogs.inputs.push_back(QStringLiteral("12"));
    click(QStringLiteral("cmdGoto"));
    click(QStringLiteral("cmdNext"));
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("40"));
}

}  // namespace
