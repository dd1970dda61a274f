// First, Previous, Next, Last and Goto on every table tab, their reports, and what
// every button does on the other tabs.
#include "window_fixture.h"

namespace {

using records::TableId;

using Navigation = WindowFixture;

// Each read moves through the numbers 1, 2, 4, 12, 40 on every table tab; end of
// file is silent for First, Previous and Next, reported for Last.
TEST_F(Navigation, EachCommandOnEachTable) {
    const struct {
        std::vector<const char*> buttons;
        const char* shown;  // number on the tab afterwards
        std::vector<QString> boxes;
    } cases[] = {
        {{"cmdNext"}, "2", {}},
        {{"cmdPrevious"}, "1", {}},
        {{"cmdLast"}, "40", {}},
        {{"cmdLast", "cmdNext"}, "40", {}},
        {{"cmdLast", "cmdPrevious"}, "12", {}},
        {{"cmdLast", "cmdFirst"}, "1", {}},
    };
    ASSERT_TRUE(load());
    for (const auto& table : records::kTableFiles)
        for (const auto& tc : cases) {
            SCOPED_TRACE(std::string(table.fileName) + " " + tc.buttons.back() + " after " +
                         std::to_string(tc.buttons.size() - 1) + " more");
            select(tabs().tabText(static_cast<int>(table.id)));
            click(QStringLiteral("cmdFirst"));
            for (const auto* button : tc.buttons) click(QString::fromLatin1(button));
            EXPECT_EQ(shownNumber(table.id), QString::fromLatin1(tc.shown));
            EXPECT_EQ(dialogs.texts(), tc.boxes);
        }
}

// A read that fails with any status but a silent end of file is reported with the
// command's prefix, and the tab keeps the record it showed.
TEST_F(Navigation, FailedReadsOnEveryTableTab) {
    const struct {
        const char* button;
        std::uint16_t operation;
        const char* prefix;
    } commands[] = {{"cmdNext", B_GET_NEXT, "Error on BGETNEXT: "},
                    {"cmdPrevious", B_GET_PREVIOUS, "Error on BGETPREVIOUS: "},
                    {"cmdLast", B_GET_LAST, "Error on BGETLAST: "},
                    {"cmdGoto", B_GET_EQUAL, "Error on BGETEQUAL: "}};
    ASSERT_TRUE(load());
    for (const auto& table : records::kTableFiles)
        for (const auto& command : commands)
            for (const std::int16_t code : {2, 4, 8, 80, -4}) {
                SCOPED_TRACE(std::string(table.fileName) + " " + command.button + " " + std::to_string(code));
                gotoRecord(tabs().tabText(static_cast<int>(table.id)), 4);
                seam.failNext(command.operation, code);
                dialogs.inputs.push_back(QStringLiteral("12"));
                click(QString::fromLatin1(command.button));
                dialogs.inputs.clear();
                EXPECT_EQ(seam.operations(), std::vector<std::uint16_t>{command.operation});
                EXPECT_EQ(dialogs.boxes.back().text, command.prefix + QString::number(code));
                EXPECT_EQ(shownNumber(table.id), QStringLiteral("4"));
                EXPECT_EQ(status(), QString());
            }
}

TEST_F(Navigation, EmptyFileReportsOnlyLast) {
    fillTable(TableId::Spells, {});
    ASSERT_TRUE(load());
    select(QStringLiteral("Spells"));
    click(QStringLiteral("cmdFirst"));
    EXPECT_TRUE(dialogs.boxes.empty());
    click(QStringLiteral("cmdLast"));
    EXPECT_EQ(dialogs.texts(), std::vector<QString>{QStringLiteral("Error on BGETLAST: 9")});
    EXPECT_EQ(shownNumber(TableId::Spells), QString());
}

// What each button does on the tabs it does not read on: the tables that cannot be
// saved answer "not finished" to Insert and Delete, the tabs without a file answer
// only Goto's box and Delete, and Update saves exactly the tables that can be saved.
TEST_F(Navigation, DispatchByTab) {
    const struct {
        const char* caption;
        const char* button;
        const char* box;  // nullptr: none
        std::vector<std::uint16_t> calls;
    } cases[] = {
        {"Rooms", "cmdFirst", nullptr, {}},
        {"Rooms", "cmdLast", nullptr, {}},
        {"Rooms", "cmdUpdate", nullptr, {}},
        {"Rooms", "cmdInsert", nullptr, {}},
        {"Rooms", "cmdGoto", "Goto what record?", {}},
        {"Rooms", "cmdDelete", "Sorry Rooms are not finished.", {}},
        {"Text Blocks", "cmdDelete", "Sorry Text Blocks are not finished.", {}},
        {"Shops/Trainers", "cmdDelete", "Sorry Shops are not finished.", {}},
        {"Gangs", "cmdDelete", "Sorry Gangs are not finished.", {}},
        {"Gangs", "cmdUpdate", nullptr, {}},
        {"Monsters", "cmdInsert", "Sorry Monsters are not finished.", {}},
        {"Monsters", "cmdDelete", "Sorry Monsters are not finished.", {}},
        {"Monsters", "cmdUpdate", nullptr, {}},
        {"Items", "cmdInsert", "Sorry Items are not finished.", {}},
        {"Items", "cmdUpdate", nullptr, {}},
        {"Races", "cmdUpdate", nullptr, {B_UPDATE}},
        {"Classes", "cmdUpdate", nullptr, {B_UPDATE}},
        {"Spells", "cmdUpdate", nullptr, {B_UPDATE}},
        {"Messages", "cmdUpdate", nullptr, {B_UPDATE}},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases) {
        SCOPED_TRACE(std::string(tc.button) + " on " + tc.caption);
        select(QString::fromLatin1(tc.caption));
        seam.calls.clear();
        dialogs.boxes.clear();
        // A Yes waiting is not taken as a confirmation; a Goto answer leads nowhere.
        dialogs.answers = {editors::Answer::Yes};
        dialogs.inputs = {QStringLiteral("12")};
        click(QString::fromLatin1(tc.button));
        EXPECT_EQ(dialogs.texts(), tc.box ? std::vector<QString>{QString::fromLatin1(tc.box)} : std::vector<QString>{});
        if (tc.box) {
            EXPECT_TRUE(dialogs.boxes[0].title.isEmpty() || dialogs.boxes[0].isInput);
        }
        EXPECT_EQ(seam.operations(), tc.calls);
        if (tc.calls.empty()) {
            EXPECT_EQ(status(), QString());
        }
    }
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("1"));
}

}  // namespace
