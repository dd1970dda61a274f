// First, Previous, Next, Last and Goto on every table tab, their reports, and what
// every button does on the other tabs; Goto's input box and how its answer becomes a
// record number; Insert and Delete: the question, the copy or removal, the
// confirmation, answering No and failed calls.
#include <algorithm>
#include <optional>

#include "window_fixture.h"

namespace {

using records::TableId;

using Navigation = WindowFixture;

// Each read moves through the numbers 1, 2, 4, 12, 40 on every table tab; end of
// file is silent for First, Previous and Next, reported for Last. A read that fails
// with any status but a silent end of file is reported with the command's prefix,
// and the tab keeps the record it showed.
TEST_F(Navigation, EveryButtonOnEveryTab) {
    const struct {
        std::vector<const char*> buttons;
        const char* shown;  // number on the tab afterwards
    } cases[] = {{{"cmdNext"}, "2"},
                 {{"cmdPrevious"}, "1"},
                 {{"cmdLast"}, "40"},
                 {{"cmdLast", "cmdNext"}, "40"},
                 {{"cmdLast", "cmdPrevious"}, "12"},
                 {{"cmdLast", "cmdFirst"}, "1"}};
    const struct {
        const char* button;
        std::uint16_t operation;
        const char* prefix;
    } failures[] = {{"cmdNext", B_GET_NEXT, "Error on BGETNEXT: "},
                    {"cmdPrevious", B_GET_PREVIOUS, "Error on BGETPREVIOUS: "},
                    {"cmdLast", B_GET_LAST, "Error on BGETLAST: "},
                    {"cmdGoto", B_GET_EQUAL, "Error on BGETEQUAL: "}};
    ASSERT_TRUE(load());
    for (const auto& table : records::kTableFiles) {
        for (const auto& tc : cases) {
            SCOPED_TRACE(std::string(table.fileName) + " " + tc.buttons.back() + " after " +
                         std::to_string(tc.buttons.size() - 1) + " more");
            select(tabs().tabText(static_cast<int>(table.id)));
            forget();
            click(QStringLiteral("cmdFirst"));
            for (const auto* button : tc.buttons) click(QString::fromLatin1(button));
            EXPECT_EQ(shownNumber(table.id), QString::fromLatin1(tc.shown));
            EXPECT_TRUE(dialogs.boxes.empty());
        }
        for (const auto& command : failures)
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
    // What each button does on the tabs it does not read on: the tables that cannot be
    // saved answer "not finished" to Insert and Delete, the tabs without a file answer
    // only Goto's box and Delete, and Update saves exactly the tables that can be saved.
    const struct {
        std::vector<const char*> captions, buttons;
        const char* box;  // nullptr: none
        std::vector<std::uint16_t> calls;
    } dispatch[] = {
        {{"Rooms"}, {"cmdFirst", "cmdLast", "cmdUpdate", "cmdInsert"}, nullptr, {}},
        {{"Rooms"}, {"cmdGoto"}, "Goto what record?", {}},
        {{"Rooms"}, {"cmdDelete"}, "Sorry Rooms are not finished.", {}},
        {{"Text Blocks"}, {"cmdDelete"}, "Sorry Text Blocks are not finished.", {}},
        {{"Shops/Trainers"}, {"cmdDelete"}, "Sorry Shops are not finished.", {}},
        {{"Gangs"}, {"cmdDelete"}, "Sorry Gangs are not finished.", {}},
        {{"Monsters"}, {"cmdInsert", "cmdDelete"}, "Sorry Monsters are not finished.", {}},
        {{"Items"}, {"cmdInsert"}, "Sorry Items are not finished.", {}},
        {{"Gangs", "Monsters", "Items"}, {"cmdUpdate"}, nullptr, {}},
        {{"Races", "Classes", "Spells", "Messages"}, {"cmdUpdate"}, nullptr, {B_UPDATE}},
    };
    for (const auto& tc : dispatch)
        for (const auto* caption : tc.captions)
            for (const auto* button : tc.buttons) {
                SCOPED_TRACE(std::string(button) + " on " + caption);
                select(QString::fromLatin1(caption));
                forget();
                // A Yes waiting is not taken as a confirmation; a Goto answer leads nowhere.
                dialogs.answers = {editors::Answer::Yes};
                dialogs.inputs = {QStringLiteral("12")};
                click(QString::fromLatin1(button));
                EXPECT_EQ(dialogs.texts(),
                          tc.box ? std::vector<QString>{QString::fromLatin1(tc.box)} : std::vector<QString>{});
                EXPECT_TRUE(!tc.box || dialogs.boxes[0].title.isEmpty() || dialogs.boxes[0].isInput);
                EXPECT_EQ(seam.operations(), tc.calls);
                EXPECT_EQ(status().isEmpty(), tc.calls.empty()) << status().toStdString();
            }
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("4"));
}

// An empty file starts up silently with an empty tab; then only Last reports its end.
// A race name stored without a zero byte is confirmed at its full width, then one blank.
TEST_F(Navigation, EmptyFileAndAFullWidthName) {
    fillTable(TableId::Spells, {});
    const auto& races = records::tableFile(TableId::Races);
    ASSERT_EQ(test_support::createDataFile(races), 0);
    const std::string name = "Human" + std::string(24, ' ');
    ASSERT_EQ(test_support::insertRows(
                  races, {test_support::numberedRow(races, 5, name), test_support::numberedRow(races, 6, "Elf")}),
              0);
    window = std::make_unique<ui::MainWindow>(dialogs, seam.call());
    window->show();
    ASSERT_TRUE(window->Form_Load());
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(shownNumber(TableId::Messages), QStringLiteral("1"));
    select(QStringLiteral("Spells"));
    click(QStringLiteral("cmdFirst"));
    EXPECT_TRUE(dialogs.boxes.empty());
    click(QStringLiteral("cmdLast"));
    EXPECT_EQ(dialogs.texts(), std::vector<QString>{QStringLiteral("Error on BGETLAST: 9")});
    EXPECT_EQ(shownNumber(TableId::Spells), QString());

    select(QStringLiteral("Races"));
    dialogs.answers.push_back(editors::Answer::Yes);
    click(QStringLiteral("cmdDelete"));
    EXPECT_EQ(status(), QStringLiteral("Race 5 Deleted. ") + QString::fromStdString(name) + QStringLiteral(" "));
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("6"));
}

TEST_F(Navigation, GotoAnswersAndWhereTheyLead) {
    const QString prompt = QStringLiteral("Goto what record?");
    const struct {
        std::vector<std::optional<QString>> answers;  // nullopt: Cancel
        const char* shown;                            // the number on the tab afterwards
        std::vector<QString> boxes;                   // after the input box
        bool reads;                                   // whether the record manager is called
    } cases[] = {
        {{"  12  "}, "12", {prompt}, true},
        {{"2.5"}, "2", {prompt}, true},
        {{"3.5"}, "4", {prompt}, true},
        {{"7"}, "1", {prompt, QStringLiteral("Error on BGETEQUAL: 4")}, true},
        // Digits of another script are no number here.
        {{"abc", std::nullopt, "0", "99999999999", "１２"}, "1", {prompt}, false},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases)
        for (const auto& answer : tc.answers) {
            SCOPED_TRACE(answer.value_or(QStringLiteral("<cancel>")).left(20).toStdString());
            gotoRecord(QStringLiteral("Messages"), 1);
            dialogs.inputs.push_back(answer);
            click(QStringLiteral("cmdGoto"));
            ASSERT_EQ(dialogs.texts(), tc.boxes);
            const auto& box = dialogs.boxes.front();
            EXPECT_TRUE(box.isInput);
            EXPECT_EQ(box.title, QStringLiteral("Goto"));
            EXPECT_EQ(box.defaultAnswer, QStringLiteral("1"));
            EXPECT_EQ(shownNumber(TableId::Messages), QString::fromLatin1(tc.shown));
            EXPECT_EQ(seam.operations(),
                      tc.reads ? std::vector<std::uint16_t>{B_GET_EQUAL} : std::vector<std::uint16_t>{});
            for (const auto& call : seam.calls) EXPECT_EQ(call.keyLength, 4);
        }
    // Next moves on from the record Goto reached.
    dialogs.inputs.push_back(QStringLiteral("12"));
    click(QStringLiteral("cmdGoto"));
    click(QStringLiteral("cmdNext"));
    EXPECT_EQ(shownNumber(TableId::Messages), QStringLiteral("40"));
}

// On record 12 of each saved table: answering No to Insert or Delete calls nothing;
// then Insert copies it as record 41 (the highest is 40), and Delete on record 12
// removes it and shows the first record.
TEST_F(Navigation, InsertDeleteCopiesAndRemovesTheRecordShown) {
    const struct {
        const char* caption;
        const char* inserted;
        const char* deleted;
    } cases[] = {
        {"Races", "Race Inserted at Record 41 using data Name 12", "Race 12 Deleted. Name 12"},
        {"Classes", "Class Inserted at Record 41 using data Name 12", "Class 12 Deleted. Name 12"},
        {"Spells", "Spell Inserted at Record 41 using data Name 12", "Spell 12 Deleted. Name 12"},
        {"Messages", "Message Inserted at Record 41 using data from record 12", "Message 12 Deleted. "},
    };
    ASSERT_TRUE(load());
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.caption);
        gotoRecord(QString::fromLatin1(tc.caption), 12);
        const auto table = static_cast<TableId>(tabs().currentIndex());
        const auto& file = records::tableFile(table);
        const QString before = status();
        for (const char* button : {"cmdInsert", "cmdDelete"}) {
            dialogs.answers.push_back(editors::Answer::No);
            click(QString::fromLatin1(button));
        }
        EXPECT_TRUE(seam.calls.empty());
        ASSERT_EQ(dialogs.boxes.size(), 2u);
        for (const auto& box : dialogs.boxes) EXPECT_EQ(box.buttons, editors::Buttons::YesNo);
        EXPECT_EQ(dialogs.boxes[1].title, QStringLiteral("Delete Record 12?"));
        EXPECT_EQ(status(), before);
        EXPECT_EQ(shownNumber(table), QStringLiteral("12"));
        dialogs.boxes.clear();
        dialogs.answers.push_back(editors::Answer::Yes);
        click(QStringLiteral("cmdInsert"));
        EXPECT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_INSERT, B_GET_LAST}));
        EXPECT_EQ(status(), QString::fromLatin1(tc.inserted));
        EXPECT_EQ(shownNumber(table), QStringLiteral("41"));
        // The copy carries the source's text under its own number.
        auto rows = test_support::readRows(file);
        ASSERT_EQ(rows.size(), 6u);
        EXPECT_EQ(test_support::rowNumber(file, rows.back()), 41);
        const auto source = test_support::numberedRow(file, 12, "Name 12");
        EXPECT_TRUE(std::equal(rows.back().begin() + 2, rows.back().begin() + 20, source.begin() + 2));

        gotoRecord(QString::fromLatin1(tc.caption), 12);
        dialogs.answers.push_back(editors::Answer::Yes);
        click(QStringLiteral("cmdDelete"));
        EXPECT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_DELETE, B_GET_FIRST}));
        EXPECT_EQ(status(), QString::fromLatin1(tc.deleted));
        EXPECT_EQ(shownNumber(table), QStringLiteral("1"));
        rows = test_support::readRows(file);
        EXPECT_EQ(rows.size(), 5u);
        EXPECT_TRUE(std::none_of(rows.begin(), rows.end(),
                                 [&](const auto& row) { return test_support::rowNumber(file, row) == 12; }));
    }
    // An Insert whose Get Last fails has added its record all the same, but the tab
    // keeps the record it showed. (Refused writes: the editors' tests.)
    gotoRecord(QStringLiteral("Classes"), 2);
    const QString before = status();
    seam.failNext(B_GET_LAST, 5);
    dialogs.answers.push_back(editors::Answer::Yes);
    click(QStringLiteral("cmdInsert"));
    EXPECT_EQ(seam.operations(), (std::vector<std::uint16_t>{B_INSERT, B_GET_LAST}));
    EXPECT_EQ(dialogs.texts().size(), 2u);
    EXPECT_EQ(status(), before);
    EXPECT_EQ(shownNumber(TableId::Classes), QStringLiteral("2"));
    EXPECT_EQ(test_support::readRows(records::tableFile(TableId::Classes)).size(), 6u);
}

}  // namespace
