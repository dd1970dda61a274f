// Layout-aware formatting: which files it recognises, chosen fields against the
// demo records, and the way back to the same bytes (which needs every field).
#include <random>

#include "gamedata/demo_world.h"
#include "gamedata/record_formatter.h"
#include "gamedata_fixture.h"

namespace gamedata::test {
namespace {

using json = RecordJson;
using records::TableId;

TEST(RecordFormatterTest, RecognisesTheSixFilesByBaseNameAndLength) {
    struct Case {
        std::string_view name;
        std::uint32_t length;
        bool known;
    };
    const Case cases[] = {
        {"wccrace2.dat", 126, true},
        {"/data/game/WCCCLAS2.DAT", 156, true},
        {"demo/wccspel2.dat", 260, true},
        {"wccknms2.dat", 696, true},
        {"wccitem2.dat", 1032, true},
        {"wccmsg2.dat", 256, true},
        {"wccrace2.dat", 127, false},
        {"wccmsg2.dat", 126, false},
        {"race.dat", 126, false},
        {"wccrace2.dat.bak", 126, false},
        {"", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.length));
        EXPECT_EQ(static_cast<bool>(recordFormatter(c.name, c.length)), c.known);
        EXPECT_EQ(static_cast<bool>(recordEncoder(c.name, c.length)), c.known);
    }
}

TEST(RecordFormatterTest, MonsterListsAndPairsKeepTheirElements) {
    const json m = recordFormatter("wccknms2.dat", 696)(demoRecords(TableId::Monsters, {})[10]);
    EXPECT_EQ(m["Name"], "Hollow Sovereign");
    EXPECT_EQ(m["DropItem"], json({24, 19, 22, 0, 0}));
    EXPECT_EQ(m["DropItemHidden"].get<std::string>().size(), 5u * 2 * 2);
    EXPECT_EQ(m["AttackType"][1], json({{"code", 2}, {"word", "Spell"}}));
    EXPECT_EQ(m["AttackAccuracy"], json({80, 11, 4, 0, 0}));
    EXPECT_EQ(m["Undead"], json({{"code", 1}, {"word", "Yes"}}));
    EXPECT_EQ(m["Gender"], json({{"code", 1}, {"word", "He"}}));
}

TEST(RecordFormatterTest, ARecordOfTheWrongLengthGivesAnError) {
    const json fields = recordFormatter("wccrace2.dat", 126)(Bytes(100, 'x'));
    EXPECT_TRUE(fields.contains("error"));
}

// Formatting and encoding back gives the same bytes: for every demo record and for
// rows of arbitrary bytes, which reach every text form and every bit of every field.
TEST(RecordFormatterTest, RoundTripsEveryRecordLosslessly) {
    std::mt19937 random(20261206);
    for (const records::TableFile& spec : records::kTableFiles) {
        SCOPED_TRACE(std::string(spec.fileName));
        const RecordFormatter format = recordFormatter(spec.fileName, spec.recordLength);
        const RecordEncoder encode = recordEncoder(spec.fileName, spec.recordLength);
        std::vector<Bytes> rows = demoRecords(spec.id, {});
        for (int i = 0; i < 50; ++i) {
            Bytes row(spec.recordLength);
            for (auto& b : row) b = static_cast<std::uint8_t>(random());
            rows.push_back(std::move(row));
        }
        for (const Bytes& row : rows) {
            // Through the JSON text, as a dump file carries it.
            const json fields = json::parse(format(row).dump());
            const EncodedRecord back = encode(fields);
            ASSERT_TRUE(back.error.empty()) << back.error;
            ASSERT_EQ(back.bytes, row) << fields.dump();
        }
    }
}

TEST(RecordFormatterTest, TextFieldsShowTheirStoredForm) {
    const RecordFormatter format = recordFormatter("wccitem2.dat", 1032);
    const RecordEncoder encode = recordEncoder("wccitem2.dat", 1032);
    struct Case {
        std::string stored;  // the 29 bytes of the name
        json shown;
    };
    const Case cases[] = {
        {std::string("Rope\0", 5) + std::string(24, ' '), "Rope"},
        {std::string(29, 'a'), std::string(29, 'a')},
        {std::string("Rope") + std::string(25, ' '), "Rope" + std::string(25, ' ')},
        {std::string("\0", 1) + std::string(28, ' '), ""},
        {std::string(28, 'b') + std::string("\0", 1), std::string(28, 'b')},
        {std::string("Rope\0\0", 6) + std::string(23, ' '), "Rope"},
    };
    for (const Case& c : cases) {
        Bytes row = demoRecords(TableId::Items, {}).front();
        std::copy(c.stored.begin(), c.stored.end(), row.begin() + 4);
        const json fields = format(row);
        EXPECT_EQ(fields["Name"], c.shown) << fields["Name"].dump();
        // Only a form other than the usual keeps its exact bytes apart.
        EXPECT_EQ(fields["textBytes"].contains("Name"), c.stored.starts_with(std::string("Rope\0\0", 6)));
        EXPECT_EQ(encode(fields).bytes, row);
    }
}

TEST(RecordEncoderTest, RefusesBadFieldsAndNamesThem) {
    const Bytes row = demoRecords(TableId::Monsters, {}).front();
    const json good = recordFormatter("wccknms2.dat", 696)(row);
    const RecordEncoder encode = recordEncoder("wccknms2.dat", 696);
    struct Case {
        std::string pointer;
        json value;  // null: remove the field
        std::string named;
    };
    const Case cases[] = {
        {"/Name", nullptr, "\"Name\" is missing"},
        {"/Name", "a name far too long for twenty-nine characters", "\"Name\""},
        {"/Name", "日本", "\"Name\""},
        {"/DescA", {{"text", "x"}}, "\"DescA\""},
        {"/textBytes", {{"DescA", "zz"}}, "\"DescA\""},
        {"/textBytes", {{"Exp", "00"}}, "\"Exp\" is not a text field"},
        {"/DropPercentage/0", 256, "\"DropPercentage\""},
        {"/DropPercentage", json({1, 2, 3}), "\"DropPercentage\""},
        {"/Exp", 32768, "\"Exp\""},
        {"/Exp", -32769, "\"Exp\""},
        {"/Exp", 1.5, "\"Exp\""},
        {"/Number", 2147483648LL, "\"Number\""},
        {"/Type", 7, "\"Type\""},
        {"/Abilities/0", {{"code", 1}}, "\"Abilities\""},
        {"/Hidden33", "abc", "\"Hidden33\""},
        {"/tail", "00", "\"tail\""},
        {"/Unheard", 1, "unknown field \"Unheard\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pointer);
        json fields = good;
        const json::json_pointer pointer(c.pointer);
        if (c.value.is_null())
            fields.erase(pointer.back());
        else
            fields[pointer] = c.value;
        const EncodedRecord result = encode(fields);
        EXPECT_TRUE(result.bytes.empty());
        EXPECT_NE(result.error.find(c.named), std::string::npos) << result.error;
    }
    EXPECT_EQ(encode(good).bytes, row);
    EXPECT_FALSE(encode(json::array()).error.empty());
}

}  // namespace
}  // namespace gamedata::test
