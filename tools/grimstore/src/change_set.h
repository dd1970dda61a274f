// A change set: one JSON object per line, each a change of a data file as its
// journal recorded it, with the record's bytes before and after, written by
// changes and applied by apply to another file or world.
//   {"file": "wccrace2.dat", "seq": 42, "time": ..., "operation": "update", "record": 12,
//    "key": 12, "user": ..., "host": ..., "program": ..., "fields": {"CP": [40, 47]},
//    "before": "0c00...", "after": "0c00..."}
// "file" (the file's name without a folder), "operation", "before" and "after"
// (hex, or null where the operation has none) are what apply reads; the others
// say what the change was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "journal_reading.h"

namespace grimstore {

struct Change {
    std::string file;
    uint64_t line = 0;      // in the set, counted from 1
    uint64_t sequence = 0;  // in the journal it came from; 0 when the set does not say
    uint16_t operation = 0;
    std::optional<std::vector<uint8_t>> before, after;
};

// The line of a change set for an entry of the file of that name.
nlohmann::ordered_json changeLine(const std::string& fileName, const client::JournalEntry& entry,
                                  const EntryReader& reader);

// Reads one line of a change set; none, with what is wrong in error, when it is
// not a change: not JSON, a file name with a folder, an unknown operation, or
// images that do not fit it.
std::optional<Change> parseChange(const std::string& text, uint64_t line, std::string& error);

}  // namespace grimstore
