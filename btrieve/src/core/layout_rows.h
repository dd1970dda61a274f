// A file's description as its tables hold it, whichever engine keeps them,
// and the checks that turn it into a layout: a damaged description is
// refused with 30 rather than trusted later.
#pragma once

#include "core/file_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wbtrv {

// Version of the table layout we write, with a journal of changes; files of
// the version before it have none until one is switched on, which makes them
// of this version (so that a record manager that does not know the journal
// refuses them rather than changing them without it).
constexpr int kFormatVersion = 4;
constexpr int kFormatVersionWithoutJournal = 3;

// A column that does not hold an integer (a real, a text, a null) is empty.
using StoredInteger = std::optional<std::int64_t>;

struct MetadataRow {
    StoredInteger recordLength, pageSize, variableLength, version;
};

struct KeyRow {
    StoredInteger number, segment, attributes, dataType, offset, length, nullValue;
    std::string collatingName;
    std::vector<std::uint8_t> collatingTable;  // as stored: the table alone or the whole sequence
};

// Fills layout from the description; 0, or 30 with `why` saying what is wrong.
int layoutFromMetadata(const MetadataRow& row, FileLayout& layout, std::string& why);
// Keys must come in key and segment order.
int keysFromRows(const std::vector<KeyRow>& rows, FileLayout& layout, std::string& why);

}  // namespace wbtrv
