// Numbers typed into boxes: whole numbers, rounding of fractions, ranges.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "records/number_text.h"

namespace records {
namespace {

TEST(NumberText, WholeNumbers) {
    struct Case {
        std::string_view text;
        std::int64_t low;
        std::int64_t high;
        std::optional<std::int64_t> expected;
    };
    const std::vector<Case> cases{
        {"12", INT16_MIN, INT16_MAX, 12},
        {"  12  ", INT16_MIN, INT16_MAX, 12},
        {"+7", INT16_MIN, INT16_MAX, 7},
        {"-7", INT16_MIN, INT16_MAX, -7},
        {"007", INT16_MIN, INT16_MAX, 7},
        {"32767", INT16_MIN, INT16_MAX, 32767},
        {"32768", INT16_MIN, INT16_MAX, std::nullopt},
        {"-32768", INT16_MIN, INT16_MAX, -32768},
        {"-32769", INT16_MIN, INT16_MAX, std::nullopt},
        {"255", 0, 255, 255},
        {"256", 0, 255, std::nullopt},
        {"-1", 0, 255, std::nullopt},
        {"99999999999999999999999", INT16_MIN, INT16_MAX, std::nullopt},
        {"2.5", INT16_MIN, INT16_MAX, std::nullopt},
        {"2.0", INT16_MIN, INT16_MAX, std::nullopt},
        {"1e3", INT16_MIN, INT16_MAX, std::nullopt},
        {"12a", INT16_MIN, INT16_MAX, std::nullopt},
        {"abc", INT16_MIN, INT16_MAX, std::nullopt},
        {"1 2", INT16_MIN, INT16_MAX, std::nullopt},
        {"- 5", INT16_MIN, INT16_MAX, std::nullopt},
        {"--5", INT16_MIN, INT16_MAX, std::nullopt},
        {"-", INT16_MIN, INT16_MAX, std::nullopt},
        {"+", INT16_MIN, INT16_MAX, std::nullopt},
        {"", INT16_MIN, INT16_MAX, std::nullopt},
        {"   ", INT16_MIN, INT16_MAX, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseWholeNumber(c.text, c.low, c.high), c.expected);
    }
}

TEST(NumberText, FractionsRoundHalfToEven) {
    struct Case {
        std::string_view text;
        std::optional<std::int64_t> expected;
    };
    const std::vector<Case> cases{
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"0.5", 0},
        {"2.6", 3},
        {"-2.4", -2},
        {" +1.5 ", 2},
        {".5", 0},
        {"7", 7},
        {"1e2", 100},
        {"32767.4", 32767},
        {"32767.5", std::nullopt},
        {"-32768.5", -32768},
        {"-32768.6", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1e400", std::nullopt},
        {"1.2.3", std::nullopt},
        {"x1", std::nullopt},
        {"-", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = ParseDecimalNumber(c.text);
        const auto rounded = value ? RoundHalfEven(*value, INT16_MIN, INT16_MAX) : std::nullopt;
        EXPECT_EQ(rounded, c.expected);
    }
}

TEST(NumberText, RoundingBeyondSixtyFourBitsIsRefused) {
    constexpr auto low = std::numeric_limits<std::int64_t>::min();
    constexpr auto high = std::numeric_limits<std::int64_t>::max();
    for (const double value : {1e19, -1e19, 9223372036854775808.0, 1e300, std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(RoundHalfEven(value, low, high), std::nullopt);
    }
    EXPECT_EQ(RoundHalfEven(-9223372036854775808.0, low, high), low);
}

TEST(NumberText, DecimalTextIsPlain) {
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(-5), "-5");
    EXPECT_EQ(DecimalText(-32768), "-32768");
    EXPECT_EQ(DecimalText(70000), "70000");
}

}  // namespace
}  // namespace records
