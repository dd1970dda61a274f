// The check BTRVERIFY makes of each stored record, whichever engine keeps it.
#pragma once

#include "core/file_layout.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace wbtrv {

// Reads key k's column of the record being checked; false when the column
// holds a kind of value the key's column never holds.
using KeyColumnReader = std::function<bool(std::size_t k, KeyValue& held)>;

// A record holds the record length (`isBytes`: its column holds bytes at
// all) and every key column equals its record's bytes: 0, or 2 with `why`.
int checkStoredRecord(const FileLayout& layout, std::int64_t id, std::span<const std::uint8_t> data, bool isBytes,
                      const KeyColumnReader& column, std::string& why);

}  // namespace wbtrv
