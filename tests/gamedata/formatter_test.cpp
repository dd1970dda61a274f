// Layout-aware formatting: which files it recognises, the text forms, refused
// fields, and the way back to the same bytes (which needs every field).
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "gamedata/demo_world.h"
#include "gamedata/record_formatter.h"
#include "test_support/seed.h"

namespace gamedata {
namespace {

using json = RecordJson;
using Bytes = std::vector<std::uint8_t>;
using records::TableId;

// A file is known by its base name in any letter case and its record length.
TEST(RecordFormatterTest, RecognisesTheSixFilesByBaseNameAndLength) {
    const std::tuple<std::string_view, std::uint32_t, bool> cases[] = {{"/data/game/WCCCLAS2.DAT", 156, true},
                                                                       {"wccrace2.dat", 127, false},
                                                                       {"wccmsg2.dat", 126, false},
                                                                       {"wccrace2.dat.bak", 126, false},
                                                                       {"", 0, false}};
    for (const auto& [name, length, known] : cases) {
        EXPECT_EQ(static_cast<bool>(recordFormatter(name, length)), known) << name;
        EXPECT_EQ(static_cast<bool>(recordEncoder(name, length)), known) << name;
    }
}

// Formatting and encoding back gives the same bytes: for every demo record and for
// rows of arbitrary bytes, which reach every text form and every bit of every field.
TEST(RecordFormatterTest, RoundTripsEveryRecordLosslessly) {
    const auto seed = test_support::testSeed("RoundTripsEveryRecordLosslessly");
    std::mt19937 random(seed);
    for (const records::TableFile& table : records::kTableFiles) {
        SCOPED_TRACE(std::string(table.fileName) + ", seed " + std::to_string(seed));
        const RecordFormatter format = recordFormatter(table.fileName, table.recordLength);
        const RecordEncoder encode = recordEncoder(table.fileName, table.recordLength);
        std::vector<Bytes> rows = demoRecords(table.id, {});
        for (int i = 0; i < 50; ++i) {
            Bytes row(table.recordLength);
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
    // The 29 bytes of the name, and the name shown.
    const std::pair<std::string, json> cases[] = {
        {std::string("Rope\0", 5) + std::string(24, ' '), "Rope"},
        {std::string(29, 'a'), std::string(29, 'a')},
        {std::string("Rope") + std::string(25, ' '), "Rope" + std::string(25, ' ')},
        {std::string("\0", 1) + std::string(28, ' '), ""},
        {std::string(28, 'b') + std::string("\0", 1), std::string(28, 'b')},
        {std::string("Rope\0\0", 6) + std::string(23, ' '), "Rope"},
    };
    for (const auto& [stored, shown] : cases) {
        Bytes row = demoRecords(TableId::Items, {}).front();
        std::copy(stored.begin(), stored.end(), row.begin() + 4);
        const json fields = format(row);
        EXPECT_EQ(fields["Name"], shown) << fields["Name"].dump();
        // Only a form other than the usual keeps its exact bytes apart.
        EXPECT_EQ(fields["textBytes"].contains("Name"), stored.starts_with(std::string("Rope\0\0", 6)));
        EXPECT_EQ(encode(fields).bytes, row);
    }
}

TEST(RecordEncoderTest, RefusesBadFieldsAndNamesThem) {
    const json good = recordFormatter("wccknms2.dat", 696)(demoRecords(TableId::Monsters, {}).front());
    const RecordEncoder encode = recordEncoder("wccknms2.dat", 696);
    // A field's pointer, its value (null: remove the field), and what the error must name.
    const std::tuple<std::string, json, std::string> cases[] = {
        {"/Name", nullptr, "\"Name\" is missing"},
        {"/Name", "日本", "\"Name\""},
        {"/textBytes", {{"DescA", "zz"}}, "\"DescA\""},
        {"/textBytes", {{"Exp", "00"}}, "\"Exp\" is not a text field"},
        {"/DropPercentage", json({1, 2, 3}), "\"DropPercentage\""},
        {"/Exp", 32768, "\"Exp\""},
        {"/Type", 7, "\"Type\""},
        {"/Abilities/0", {{"code", 1}}, "\"Abilities\""},
        {"/tail", "00", "\"tail\""},
        {"/Unheard", 1, "unknown field \"Unheard\""},
    };
    for (const auto& [where, value, named] : cases) {
        SCOPED_TRACE(where);
        json fields = good;
        const json::json_pointer pointer(where);
        if (value.is_null())
            fields.erase(pointer.back());
        else
            fields[pointer] = value;
        const EncodedRecord result = encode(fields);
        EXPECT_TRUE(result.bytes.empty());
        EXPECT_NE(result.error.find(named), std::string::npos) << result.error;
    }
    EXPECT_FALSE(encode(json::array()).error.empty());
}

}  // namespace
}  // namespace gamedata
