// A box that cannot be converted, or a refused write, stops the update: a message
// names the field and the text, the focus goes to the box, and nothing is written.
#include "editor_session.h"

namespace {

using records::TableId;

Row plainRow(TableId id) {
    Row row = noiseRow(records::tableFile(id), 5);
    put16(row, 0, 5);
    if (id == TableId::Messages)
        for (std::size_t at : {4u, 86u, 168u}) putText(row, at, ruled("line", 74));
    else
        putText(row, 2, ruled("Plain", 29));
    if (id == TableId::Spells) putText(row, 251, "Plain");
    return row;
}

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
        {TableId::Races, "txtRaceCP", "3.5", R"(The value "3.5" in "CP" is not a whole number from -32768 to 32767.)"},
        {TableId::Races, "txtRaceabilb_9", "-",
         R"(The value "-" in "Ability 10 value" is not a whole number from -32768 to 32767.)"},
        {TableId::Races, "txtRaceHPBonus", "",
         R"(The value "" in "HP Bonus" is not a whole number from -32768 to 32767.)"},
        {TableId::Classes, "txtClassTitle", "99x",
         R"(The value "99x" in "Title Text" is not a whole number from -32768 to 32767.)"},
        {TableId::Classes, "txtClassExp", "x", R"(The value "x" in "Exp %" is not a number.)"},
        {TableId::Classes, "txtClassCombat", "1e9",
         R"(The value "1e9" in "Combat" gives a stored value outside -32768 to 32767.)"},
        {TableId::Classes, "txtClassMaxHp", "9e9",
         R"(The value "9e9" in "HP" gives a stored value outside -32768 to 32767.)"},
        {TableId::Spells, "txtSpellMana", "1e9", R"(The value "1e9" in "Mana" is not a number from -32768 to 32767.)"},
        {TableId::Spells, "txtSpellLevelCap", "256", R"(The value "256" in "Lvl Cap" is not a number from 0 to 255.)"},
        {TableId::Spells, "txtSpellIncrease", "-1", R"(The value "-1" in "Increase" is not a number from 0 to 255.)"},
        {TableId::Spells, "txtSpellabilb_0", "x",
         R"(The value "x" in "Ability 1 value" is not a number from -32768 to 32767.)"},
        {TableId::Races, "txtRaceName", QString::fromUtf8("Caf\u00e9 \u20ac"),
         QString::fromUtf8(
             R"(The text "Café €" in "Name" holds the character "€", which the data files cannot store.)")},
        {TableId::Spells, "txtSpellDescB", QString::fromUtf8("\u4e00"),
         QString::fromUtf8(R"(The text "一" in "Desc" holds the character "一", which the data files cannot store.)")},
        {TableId::Messages, "txtMessageLine2", QString::fromUtf8("\u20ac"),
         QString::fromUtf8(R"(The text "€" in "Line #2" holds the character "€", which the data files cannot store.)")},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.box);
        const Row row = plainRow(r.id);
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
        EXPECT_EQ(s.text(r.box), r.typed);
        EXPECT_EQ(s.status.text(), "before");
        EXPECT_EQ(s.editor->nameField().size(), r.id == TableId::Messages ? 0u : 29u);
    }
}

TEST(RefusedUpdate, AFailedWriteIsReportedAndKeepsWhatWasTyped) {
    for (const auto& [id, box] : std::vector<std::pair<TableId, const char*>>{{TableId::Races, "txtRaceCP"},
                                                                              {TableId::Classes, "txtClassTitle"},
                                                                              {TableId::Spells, "txtSpellMana"},
                                                                              {TableId::Messages, "txtMessageLine1"}}) {
        SCOPED_TRACE(box);
        const Row row = plainRow(id);
        EditorSession s(id, row);
        s.status.setText("before");
        s.line(box).setText("12");
        s.seam.failNext(B_UPDATE, 80);
        s.editor->update();
        EXPECT_EQ(s.dialogs.texts(), std::vector<QString>{"Error on BUPDATE: 80"});
        EXPECT_EQ(s.text(box), "12");
        EXPECT_EQ(s.status.text(), "before");
        EXPECT_EQ(s.stored(), row);
    }
}

}  // namespace
