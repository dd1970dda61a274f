// Numbers typed into boxes: whole numbers, rounding of fractions, ranges.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "records/number_text.h"

namespace records {
namespace {

using Expected = std::optional<std::int64_t>;

TEST(NumberText, WholeNumbersInASixteenBitRange) {
    const std::pair<std::string_view, Expected> cases[] = {
        {"  12  ", 12},     {"+7", 7},        {"-7", -7},
        {"007", 7},         {"32767", 32767}, {"32768", {}},
        {"-32768", -32768}, {"-32769", {}},   {"99999999999999999999999", {}},
        {"2.0", {}},        {"1e3", {}},      {"12a", {}},
        {"1 2", {}},        {"- 5", {}},      {"--5", {}},
        {"-", {}},          {"", {}},         {"   ", {}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseWholeNumber(text, INT16_MIN, INT16_MAX), expected) << text;
    EXPECT_EQ(parseWholeNumber("255", 0, 255), 255);
    EXPECT_EQ(parseWholeNumber("256", 0, 255), std::nullopt);
    EXPECT_EQ(parseWholeNumber("-1", 0, 255), std::nullopt);
}

TEST(NumberText, FractionsRoundHalfToEvenWithinTheRange) {
    const std::pair<std::string_view, Expected> cases[] = {
        {"2.5", 2},  {"3.5", 4},   {"-2.5", -2},       {"-3.5", -4},    {"2.6", 3},           {" +1.5 ", 2},
        {".5", 0},   {"1e2", 100}, {"32767.4", 32767}, {"32767.5", {}}, {"-32768.5", -32768}, {"-32768.6", {}},
        {"inf", {}}, {"nan", {}},  {"1e400", {}},      {"1.2.3", {}},   {"x1", {}},           {"", {}},
    };
    for (const auto& [text, expected] : cases) {
        const auto value = parseDecimalNumber(text);
        EXPECT_EQ(value ? roundHalfEven(*value, INT16_MIN, INT16_MAX) : std::nullopt, expected) << text;
    }
    // Rounding beyond 64 bits is refused.
    constexpr auto low = std::numeric_limits<std::int64_t>::min();
    constexpr auto high = std::numeric_limits<std::int64_t>::max();
    for (const double value : {1e19, -1e19, 9223372036854775808.0, std::numeric_limits<double>::infinity()})
        EXPECT_EQ(roundHalfEven(value, low, high), std::nullopt) << value;
    EXPECT_EQ(roundHalfEven(-9223372036854775808.0, low, high), low);
}

}  // namespace
}  // namespace records
