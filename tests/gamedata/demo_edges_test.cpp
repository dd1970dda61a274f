// The demo world deliberately holds edge values; read back from the files, each
// must be where the world says it is.
#include <map>
#include <string_view>

#include "gamedata/demo_world.h"
#include "gamedata/record_formatter.h"
#include "gamedata_fixture.h"

namespace gamedata::test {
namespace {

using json = RecordJson;
using records::TableId;

struct Expectation {
    TableId table;
    std::int64_t number;
    std::string_view pointer;  // JSON pointer into the formatted record
    json expected;
};

const std::vector<Expectation>& expectations() {
    static const std::vector<Expectation> kExpectations{
        // Names: the stored forms are checked byte by byte below; characters of
        // code page 437 above 0x7F.
        {TableId::Messages, 40, "/Line1", "░░ The mist parts for a moment ░░"},
        // Ability codes: negative, 0 with a value, 178, 179, 32767, and shared names.
        {TableId::Races, 2, "/Abilities/2", {{"code", -1}, {"word", nullptr}, {"value", 7}}},
        {TableId::Races, 9, "/Abilities/0/code", -32768},
        {TableId::Races, 12, "/Abilities/0", {{"code", 0}, {"word", "None"}, {"value", -32768}}},
        {TableId::Races, 4, "/Abilities/0/word", "Shadowform"},
        {TableId::Races, 4, "/Abilities/1", {{"code", 179}, {"word", "Unknown"}, {"value", 2}}},
        {TableId::Races, 6, "/Abilities/0", {{"code", 32767}, {"word", "Unknown"}, {"value", 3}}},
        {TableId::Races, 6, "/Abilities/2", {{"code", 54}, {"word", "Illu"}, {"value", 2}}},
        {TableId::Classes, 6, "/Abilities/0", {{"code", 102}, {"word", "ClassStealth"}, {"value", 5}}},
        {TableId::Classes, 6, "/Abilities/1", {{"code", 103}, {"word", "ClassStealth"}, {"value", 3}}},
        // 16-bit and 32-bit extremes.
        {TableId::Races, 12, "/HPBonus", -32768},
        {TableId::Races, 12, "/CP", 32767},
        {TableId::Monsters, 11, "/AC2", -32768},
        {TableId::Items, 70000, "/Name", "Map of the Outer Fens"},
        {TableId::Items, 2147483647, "/Name", "The Last Coin"},
        {TableId::Items, -2147483648LL, "/Name", "The First Coin"},
        {TableId::Messages, 32767, "/Line3", "Close the book gently."},
        // Codes that have no word in their tables.
        {TableId::Classes, 7, "/MagicType", {{"code", 9}, {"word", nullptr}}},
        {TableId::Spells, 13, "/Target", {{"code", 200}, {"word", "Unknown"}}},
        {TableId::Spells, 14, "/Target", {{"code", 15}, {"word", "Unknown"}}},
        {TableId::Monsters, 12, "/AttackType/4", {{"code", 3}, {"word", nullptr}}},
        {TableId::Monsters, 13, "/Alignment", {{"code", -1}, {"word", nullptr}}},
        // The three MaxRoll values.
        {TableId::Spells, 1, "/MaxRoll", 0},
        {TableId::Spells, 2, "/MaxRoll", 1},
        {TableId::Spells, 15, "/MaxRoll", 2},
        // Messages the editor's tests go to.
        {TableId::Messages, 12, "/Number", 12},
        {TableId::Messages, 40, "/Number", 40},
    };
    return kExpectations;
}

class DemoEdgesTest : public DemoFolderTest {
protected:
    void SetUp() override { ASSERT_TRUE(writeDemoWorld(dir(), {}).ok()); }

    // The formatted records of a table, read back through BTRCALL, by number.
    std::map<std::int64_t, json> formatted(TableId table) const {
        const records::TableFile& spec = records::tableFile(table);
        const RecordFormatter format = recordFormatter(spec.fileName, spec.recordLength);
        std::map<std::int64_t, json> byNumber;
        for (const Bytes& row : readAll(file(table), spec.recordLength).records) {
            json fields = format(row);
            const auto number = fields["Number"].get<std::int64_t>();
            byNumber[number] = std::move(fields);
        }
        return byNumber;
    }
};

TEST_F(DemoEdgesTest, EveryEdgeValueIsWhereTheWorldPutsIt) {
    std::map<TableId, std::map<std::int64_t, json>> tables;
    for (const records::TableFile& spec : records::kTableFiles) tables[spec.id] = formatted(spec.id);
    for (const Expectation& e : expectations()) {
        SCOPED_TRACE(std::string(records::tableFile(e.table).fileName) + " #" + std::to_string(e.number) + " " +
                     std::string(e.pointer));
        const auto& table = tables[e.table];
        const auto record = table.find(e.number);
        ASSERT_NE(record, table.end());
        const json::json_pointer pointer{std::string(e.pointer)};
        ASSERT_TRUE(record->second.contains(pointer));
        EXPECT_EQ(record->second.at(pointer), e.expected);
    }
}

// The stored bytes of the three text forms, straight from the rows.
TEST_F(DemoEdgesTest, TextFieldsHoldTheirStoredForms) {
    const auto races = readAll(file(TableId::Races), 126).records;
    const auto name = [&](std::size_t index) {
        return std::string(races[index].begin() + 2, races[index].begin() + 31);
    };
    EXPECT_EQ(name(0), std::string("Fenwight\0", 9) + std::string(20, ' '));
    EXPECT_EQ(name(2), "Children of the Sunken Groves");
    EXPECT_EQ(name(8), std::string("Wraithborn\0ghostkin", 19) + std::string(10, ' '));
    EXPECT_EQ(name(4), std::string("V\x94rnkin\0", 8) + std::string(21, ' '));

    const json wraith = formatted(TableId::Races).at(9);
    EXPECT_EQ(wraith["Name"], "Wraithborn");
    EXPECT_EQ(wraith["textBytes"]["Name"].get<std::string>().substr(0, 22), "577261697468626f726e00");  // zero
}

}  // namespace
}  // namespace gamedata::test
