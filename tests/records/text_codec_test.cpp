// The byte <-> character mapping of text fields.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "records/text_codec.h"

namespace records {
namespace {

TEST(TextCodec, EveryByteValueRoundTripsThroughItsOwnKnownCharacter) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::u16string text = decodeText(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(std::set<char16_t>(text.begin(), text.end()).size(), 256u) << "two bytes share a character";
    EXPECT_EQ(encodeText(text), all);
    EXPECT_FALSE(firstUnencodable(text));

    // Known bytes, and the characters they stand for at the same index.
    const std::string bytes = "A\x7F\x80\x82\x9C\xB0\xC9\xE1\xE3\xF8\xFF";
    const std::u16string characters = u"A\x7F\u00C7\u00E9\u00A3\u2591\u2554\u00DF\u03C0\u00B0\u00A0";
    ASSERT_EQ(bytes.size(), characters.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(decodeText(std::span<const char>(&bytes[i], 1)), characters.substr(i, 1));
        EXPECT_EQ(encodeText(characters.substr(i, 1)), bytes.substr(i, 1));
    }
}

TEST(TextCodec, UnmappableCharactersAreRefusedByIndex) {
    const std::vector<std::pair<std::u16string, std::optional<std::size_t>>> cases{
        {u"Sword", std::nullopt}, {u"Caf\u00e9", std::nullopt}, {u"10\u20ac", 2},    {u"\u4e2d", 0},
        {u"ab\u4e2d\u20ac", 2},   {u"x\U0001F600", 1},          {u"", std::nullopt},
    };
    for (const auto& [text, first] : cases) {
        SCOPED_TRACE(text.size());
        EXPECT_EQ(firstUnencodable(text), first);
        EXPECT_EQ(encodeText(text).has_value(), !first.has_value());
    }
}

}  // namespace
}  // namespace records
