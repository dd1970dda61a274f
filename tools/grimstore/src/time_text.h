// Times as the journal keeps them (microseconds since 1970-01-01 UTC) and as
// a person writes and reads them: ISO 8601 text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace grimstore {

// "2026-03-07", "2026-03-07T10:05", "2026-03-07 10:05:30.25", each with "Z" or
// an offset such as "+01:00" for a time in that zone, else in local time.
// None for text that is not such a time.
std::optional<int64_t> parseTime(std::string_view text);

// "2026-03-07T10:05:30Z", with the fraction of a second when there is one
// ("2026-03-07T10:05:30.250000Z").
std::string formatUtc(int64_t microseconds);

}  // namespace grimstore
