// The byte <-> character mapping of text fields.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "records/text_codec.h"

namespace records {
namespace {

TEST(TextCodec, EveryByteValueRoundTripsThroughItsOwnCharacter) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::u16string text = decodeText(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(std::set<char16_t>(text.begin(), text.end()).size(), 256u) << "two bytes share a character";
    EXPECT_EQ(encodeText(text), all);
    EXPECT_FALSE(firstUnencodable(text));
}

TEST(TextCodec, KnownCharactersOfTheHighHalf) {
    struct Case {
        unsigned char byte;
        char16_t character;
    };
    for (const Case c :
         {Case{'A', u'A'}, Case{0x7F, 0x7F}, Case{0x80, u'Ç'}, Case{0x82, u'é'}, Case{0x9C, u'£'}, Case{0xB0, 0x2591},
          Case{0xC9, 0x2554}, Case{0xE1, u'ß'}, Case{0xE3, u'π'}, Case{0xF8, u'°'}, Case{0xFF, 0x00A0}}) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        const char byte = static_cast<char>(c.byte);
        EXPECT_EQ(decodeText(std::span<const char>(&byte, 1)), std::u16string(1, c.character));
        EXPECT_EQ(encodeText(std::u16string(1, c.character)), std::string(1, byte));
    }
}

TEST(TextCodec, UnmappableCharactersAreRefusedByIndex) {
    struct Case {
        std::u16string text;
        std::optional<std::size_t> first;
    };
    const std::vector<Case> cases{
        {u"Sword", std::nullopt}, {u"Caf\u00e9", std::nullopt}, {u"10\u20ac", 2},    {u"\u4e2d", 0},
        {u"ab\u4e2d\u20ac", 2},   {u"x\U0001F600", 1},          {u"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.size());
        EXPECT_EQ(firstUnencodable(c.text), c.first);
        EXPECT_EQ(encodeText(c.text).has_value(), !c.first.has_value());
    }
}

}  // namespace
}  // namespace records
