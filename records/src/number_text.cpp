#include "records/number_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

namespace records {
namespace {

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// Splits off one leading sign; true when it was a minus.
bool takeSign(std::string_view& text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        const bool negative = text.front() == '-';
        text.remove_prefix(1);
        return negative;
    }
    return false;
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::optional<std::int64_t> parseWholeNumber(std::string_view text, std::int64_t low, std::int64_t high) {
    text = trimBlanks(text);
    const bool negative = takeSign(text);
    if (!allDigits(text)) return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (magnitude > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
    const auto value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::optional<double> parseDecimalNumber(std::string_view text) {
    text = trimBlanks(text);
    const bool negative = takeSign(text);
    // from_chars accepts no leading sign of its own here, and no "inf" or "nan":
    // only digits with an optional point and exponent are numbers a user types.
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.'))
        return std::nullopt;
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::int64_t> roundHalfEven(double value, std::int64_t low, std::int64_t high) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value);  // the default rounding mode sends halves to even
    // Outside [-2^63, 2^63) the conversion below would be undefined; the bounds
    // themselves are compared as integers, since a double cannot hold every one.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (!(rounded >= -kTwoTo63 && rounded < kTwoTo63)) return std::nullopt;
    const auto whole = static_cast<std::int64_t>(rounded);
    if (whole < low || whole > high) return std::nullopt;
    return whole;
}

std::string decimalText(std::int64_t value) { return std::to_string(value); }

}  // namespace records
