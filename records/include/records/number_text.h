// Reading numbers that the user typed into boxes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace records {

// A whole decimal number between low and high: blanks around it and one leading
// sign (+ or -) are allowed; a fractional part, other characters or an empty text are not.
std::optional<std::int64_t> parseWholeNumber(std::string_view text, std::int64_t low, std::int64_t high);

// A decimal number, fractions allowed (digits, one point, optional exponent),
// blanks around it and one leading sign allowed.
std::optional<double> parseDecimalNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour; none when the
// result lies outside low..high or value is not finite.
std::optional<std::int64_t> roundHalfEven(double value, std::int64_t low, std::int64_t high);

// The plain decimal text of a number: a minus sign when negative, no blanks.
std::string decimalText(std::int64_t value);

}  // namespace records
