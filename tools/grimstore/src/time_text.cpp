#include "time_text.h"

#include <cstdio>
#include <ctime>

namespace grimstore {
namespace {

constexpr int64_t kMicrosPerSecond = 1000000;

// Reads exactly `digits` decimal digits at `at`.
bool number(std::string_view text, size_t& at, size_t digits, int& value) {
    if (at + digits > text.size()) return false;
    value = 0;
    for (size_t i = 0; i < digits; ++i, ++at) {
        const char c = text[at];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool expect(std::string_view text, size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

}  // namespace

std::optional<int64_t> parseTime(std::string_view text) {
    std::tm fields{};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    size_t at = 0;
    if (!number(text, at, 4, year) || !expect(text, at, '-') || !number(text, at, 2, month) || !expect(text, at, '-') ||
        !number(text, at, 2, day))
        return std::nullopt;
    int64_t fraction = 0;
    if (at < text.size() && (text[at] == 'T' || text[at] == ' ')) {
        ++at;
        if (!number(text, at, 2, hour) || !expect(text, at, ':') || !number(text, at, 2, minute)) return std::nullopt;
        if (expect(text, at, ':')) {
            if (!number(text, at, 2, second)) return std::nullopt;
            if (expect(text, at, '.')) {
                int64_t scale = kMicrosPerSecond;
                const size_t first = at;
                for (int digit = 0; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
                    digit = text[at] - '0';
                    scale /= 10;
                    fraction += digit * scale;
                }
                if (at == first) return std::nullopt;
            }
        }
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    std::optional<int64_t> offsetSeconds;
    if (expect(text, at, 'Z')) {
        offsetSeconds = 0;
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const int sign = text[at++] == '-' ? -1 : 1;
        int hours = 0, minutes = 0;
        if (!number(text, at, 2, hours)) return std::nullopt;
        expect(text, at, ':');
        if (!number(text, at, 2, minutes) || hours > 23 || minutes > 59) return std::nullopt;
        offsetSeconds = sign * (hours * 3600 + minutes * 60);
    }
    if (at != text.size()) return std::nullopt;
    time_t seconds = 0;
    if (offsetSeconds) {
        seconds = timegm(&fields) - *offsetSeconds;
    } else {
        fields.tm_isdst = -1;
        seconds = mktime(&fields);
    }
    // A day the month does not have comes back normalised into the next month.
    if (fields.tm_mday != day) return std::nullopt;
    return static_cast<int64_t>(seconds) * kMicrosPerSecond + fraction;
}

std::string formatUtc(int64_t microseconds) {
    int64_t seconds = microseconds / kMicrosPerSecond, fraction = microseconds % kMicrosPerSecond;
    if (fraction < 0) fraction += kMicrosPerSecond, --seconds;
    const auto whole = static_cast<time_t>(seconds);
    std::tm fields{};
    gmtime_r(&whole, &fields);
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", fields.tm_year + 1900,
                                fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
    std::string out(text, static_cast<size_t>(n));
    if (fraction != 0) {
        std::snprintf(text, sizeof text, ".%06lld", static_cast<long long>(fraction));
        out += text;
    }
    return out + "Z";
}

}  // namespace grimstore
