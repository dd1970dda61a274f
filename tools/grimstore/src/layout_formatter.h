// Hook for layout-aware dumping: given a data file's name and record length,
// a lookup may return a formatter that turns a record into named fields.
// dump adds what the formatter returns under "fields" of each record's line.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace grimstore {

// ordered_json keeps the fields in the order the layout lists them.
using RecordFormatter = std::function<nlohmann::ordered_json(std::span<const uint8_t> record)>;
using FormatterLookup = std::function<RecordFormatter(std::string_view fileName, uint32_t recordLength)>;

// The lookup dump uses by default. fileName is the file's own name without
// its folder. Returns an empty formatter for files whose layout is not known:
// the record layouts of the game's data files plug in here.
RecordFormatter layoutFormatterFor(std::string_view fileName, uint32_t recordLength);

// The names of the game's layouts: race, class, spell, monster, item, message.
std::vector<std::string> layoutNames();
// The file name that layoutFormatterFor knows the named layout by.
std::string layoutFileName(const std::string& layout);

}  // namespace grimstore
