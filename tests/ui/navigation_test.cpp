// First, Previous, Next and Last on every table tab, the status reports, and the
// tabs without a file.
#include <optional>

#include "window_fixture.h"

namespace {

using records::TableId;

struct Failure {
    std::uint16_t operation;
    std::int16_t status;
};

struct NavigationCase {
    const char* caption;
    std::vector<const char*> before;  // buttons clicked first
    const char* button;
    std::optional<Failure> failure;  // made to fail through the seam
    const char* shown;               // number on the tab afterwards
    std::vector<QString> boxes;
};

using Navigation = WindowFixture;

TEST_F(Navigation, EachCommandOnEachTable) {
    const QString unchanged;
    const NavigationCase cases[] = {
        {"Races", {}, "cmdNext", {}, "2", {}},
        {"Races", {"cmdLast"}, "cmdNext", {}, "40", {}},
        {"Races", {}, "cmdPrevious", {}, "1", {}},
        {"Races", {"cmdLast"}, "cmdPrevious", {}, "12", {}},
        {"Races", {"cmdLast"}, "cmdFirst", {}, "1", {}},
        {"Classes", {"cmdNext"}, "cmdNext", {}, "4", {}},
        {"Spells", {}, "cmdLast", {}, "40", {}},
        {"Monsters", {}, "cmdNext", {}, "2", {}},
        {"Items", {"cmdLast"}, "cmdPrevious", {}, "12", {}},
        {"Messages", {"cmdLast"}, "cmdFirst", {}, "1", {}},
        // Failures: end of file is silent for First, Previous and Next only.
        {"Races", {}, "cmdFirst", Failure{B_GET_FIRST, 9}, "1", {}},
        {"Races", {}, "cmdFirst", Failure{B_GET_FIRST, 2}, "1", {"Error on BGETFIRST: 2"}},
        {"Classes", {}, "cmdPrevious", Failure{B_GET_PREVIOUS, -4}, "1", {"Error on BGETPREVIOUS: -4"}},
        {"Races", {}, "cmdNext", Failure{B_GET_NEXT, 2}, "1", {"Error on BGETNEXT: 2"}},
        {"Monsters", {}, "cmdNext", Failure{B_GET_NEXT, 2}, "1", {"Error on BGETNEXT: 2"}},
        {"Messages", {}, "cmdNext", Failure{B_GET_NEXT, 9}, "1", {}},
        {"Items", {}, "cmdLast", Failure{B_GET_LAST, 9}, "1", {"Error on BGETLAST: 9"}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(std::string(tc.caption) + " " + tc.button);
        ASSERT_TRUE(load());
        select(QString::fromLatin1(tc.caption));
        for (const auto* button : tc.before) click(QString::fromLatin1(button));
        if (tc.failure) seam.failNext(tc.failure->operation, tc.failure->status);
        click(QString::fromLatin1(tc.button));
        const auto table = window->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->currentIndex();
        EXPECT_EQ(shownNumber(static_cast<TableId>(table)), QString::fromLatin1(tc.shown));
        EXPECT_EQ(dialogs.texts(), tc.boxes);
        window->close();
        dialogs.boxes.clear();
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

// Only the exact caption names a table.
TEST_F(Navigation, CaptionsAreComparedExactly) {
    ASSERT_TRUE(load());
    for (const auto* caption : {"races", "Races "}) {
        tabs().setTabText(0, QString::fromLatin1(caption));
        tabs().setCurrentIndex(0);
        for (const auto* button : {"cmdFirst", "cmdNext", "cmdPrevious", "cmdLast", "cmdUpdate", "cmdInsert"})
            click(QString::fromLatin1(button));
        EXPECT_TRUE(seam.calls.empty()) << caption;
        EXPECT_TRUE(dialogs.boxes.empty()) << caption;
    }
}

// The tabs without a file: only Goto's box and Delete's answer appear.
TEST_F(Navigation, RoomsTabAnswersOnlyGotoAndDelete) {
    ASSERT_TRUE(load());
    select(QStringLiteral("Rooms"));
    const QString before = status();
    const std::pair<const char*, std::vector<QString>> cases[] = {
        {"cmdFirst", {}},
        {"cmdPrevious", {}},
        {"cmdNext", {}},
        {"cmdLast", {}},
        {"cmdUpdate", {}},
        {"cmdInsert", {}},
        {"cmdGoto", {QStringLiteral("Goto what record?")}},
        {"cmdDelete", {QStringLiteral("Sorry Rooms are not finished.")}},
    };
    for (const auto& [button, boxes] : cases) {
        dialogs.boxes.clear();
        dialogs.inputs.push_back(QStringLiteral("12"));
        click(QString::fromLatin1(button));
        dialogs.inputs.clear();
        EXPECT_EQ(dialogs.texts(), boxes) << button;
        EXPECT_TRUE(seam.calls.empty()) << button;
        EXPECT_EQ(status(), before) << button;
    }
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("1"));
}

// Update Record saves only the tables that can be saved, once.
TEST_F(Navigation, UpdateDispatch) {
    const std::pair<const char*, std::vector<std::uint16_t>> cases[] = {
        {"Races", {B_UPDATE}}, {"Classes", {B_UPDATE}}, {"Spells", {B_UPDATE}}, {"Messages", {B_UPDATE}},
        {"Monsters", {}},      {"Items", {}},           {"Gangs", {}},
    };
    ASSERT_TRUE(load());
    for (const auto& [caption, operations] : cases) {
        seam.calls.clear();
        select(QString::fromLatin1(caption));
        click(QStringLiteral("cmdUpdate"));
        EXPECT_EQ(seam.operations(), operations) << caption;
    }
}

}  // namespace
