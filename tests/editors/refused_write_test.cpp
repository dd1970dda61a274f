// A box that cannot be converted, or a refused write, stops the update: a message
// names the field and the text, the focus goes to the box, and nothing is written.
#include "editor_session.h"

namespace {

using records::TableId;

struct Refusal {
    TableId id;
    const char* box;
    QString typed;
    QString message;
};

TEST(RefusedUpdate, ABadBoxStopsEverything) {
    const std::vector<Refusal> refusals{
        {TableId::Races, "txtRaceMinStrength", "abc",
         R"(The value "abc" in "Strength" is not a whole number from -32768 to 32767.)"},
        {TableId::Classes, "txtClassCombat", "1e9",
         R"(The value "1e9" in "Combat" gives a stored value outside -32768 to 32767.)"},
        {TableId::Spells, "txtSpellLevelCap", "256", R"(The value "256" in "Lvl Cap" is not a number from 0 to 255.)"},
        {TableId::Races, "txtRaceName", QString::fromUtf8("Caf\u00e9 \u20ac"),
         QString::fromUtf8(
             R"(The text "Café €" in "Name" holds the character "€", which the data files cannot store.)")},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.box);
        const Row row = wellFormedRow(r.id);
        EditorSession s(r.id, row);
        s.status.setText("before");
        s.line(r.box).setText(r.typed);
        const auto callsBefore = s.seam.calls.size();
        s.editor->update();

        ASSERT_EQ(s.dialogs.boxes.size(), 1u);
        EXPECT_EQ(s.dialogs.boxes[0].text, r.message);
        EXPECT_EQ(s.dialogs.boxes[0].buttons, editors::Buttons::Ok);
        EXPECT_TRUE(s.dialogs.boxes[0].title.isEmpty()) << "the application title";
        EXPECT_EQ(s.page.focusWidget(), &s.line(r.box));
        EXPECT_EQ(s.seam.calls.size(), callsBefore) << "no call reaches the record manager";
        EXPECT_EQ(s.stored(), row);
        EXPECT_EQ(s.block.row, row) << "nothing was packed";
        EXPECT_EQ(s.line(r.box).text(), r.typed);
        EXPECT_EQ(s.status.text(), "before");
    }
}

// An update on a file that was not opened does nothing.
TEST(RefusedUpdate, NothingHappensOnAFileThatWasNotOpened) {
    EditorSession s(TableId::Messages, wellFormedRow(TableId::Messages));
    s.block.openFlag = 0;
    s.line("txtMessageLine1").setText("changed");
    s.editor->update();
    EXPECT_EQ(s.seam.operations().back(), B_GET_FIRST);
    EXPECT_TRUE(s.status.text().isEmpty());
}

// What a person sees on a tab: the text of every box, the choice of every list and check box.
std::vector<QString> tabState(const QWidget& page) {
    std::vector<QString> state;
    for (const auto* line : page.findChildren<QLineEdit*>()) state.push_back(line->objectName() + "=" + line->text());
    for (const auto* combo : page.findChildren<QComboBox*>())
        state.push_back(combo->objectName() + "#" + QString::number(combo->currentIndex()));
    for (const auto* check : page.findChildren<QCheckBox*>())
        state.push_back(check->objectName() + (check->isChecked() ? "+" : "-"));
    return state;
}

// Every refusal of every write command on every editable table leaves only its report:
// the tab (with what was typed), the status line, the file block and the file are as
// before, and a refused Insert leaves number 0 in the structure. A following Insert
// then copies exactly the record that was read.
TEST(RefusedWrite, LeavesEverythingAsItWas) {
    // Each table with a box typed into before the command.
    const std::pair<TableId, const char*> tables[] = {{TableId::Races, "txtRaceCP"},
                                                      {TableId::Classes, "txtClassTitle"},
                                                      {TableId::Spells, "txtSpellMana"},
                                                      {TableId::Messages, "txtMessageLine1"}};
    const struct {
        void (editors::TableEditor::*run)();
        std::uint16_t operation;
        const char* prefix;
    } commands[] = {{&editors::TableEditor::insert, B_INSERT, "Error on BINSERT: "},
                    {&editors::TableEditor::update, B_UPDATE, "Error on BUPDATE: "},
                    {&editors::TableEditor::remove, B_DELETE, "Error on BDELETE: "}};
    for (const auto& [id, box] : tables)
        for (const auto& command : commands)
            for (const std::int16_t status : {2, 5, 80}) {
                SCOPED_TRACE(std::string(box) + " " + command.prefix + std::to_string(status));
                const Row row = wellFormedRow(id);
                EditorSession s(id, row);
                s.status.setText("before");
                s.line(box).setText("12");
                const auto tab = tabState(s.page);
                const store::TableFileBlock before = s.block;
                s.seam.failNext(command.operation, status);
                s.dialogs.answers = {editors::Answer::Yes};
                ((*s.editor).*command.run)();
                EXPECT_EQ(s.dialogs.texts().back(), command.prefix + QString::number(status));
                EXPECT_EQ(tabState(s.page), tab);
                EXPECT_EQ(s.status.text(), "before");
                EXPECT_EQ(s.block.row, before.row);
                EXPECT_EQ(s.block.positionBlock, before.positionBlock);
                EXPECT_EQ(s.block.keyBuffer, before.keyBuffer);
                EXPECT_EQ(s.block.keyNumber, before.keyNumber);
                EXPECT_EQ(test_support::readRows(s.table), std::vector<Row>{row});
                EXPECT_EQ(s.editor->recordNumber(), command.operation == B_INSERT ? 0 : 5);

                s.dialogs.answers = {editors::Answer::Yes};
                s.editor->insert();
                Row copy = row;
                put16(copy, 0, 6);
                EXPECT_EQ(test_support::readRows(s.table), (std::vector<Row>{row, copy}));
            }
}

}  // namespace
