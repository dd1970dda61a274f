// The demo world: an invented set of the six data files, written only through
// BTRCALL, the same bytes on every run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "records/tables.h"

namespace gamedata {

struct DemoOptions {
    // Unset: the default world. Set: exactly this many generated records per
    // table, numbered 1 to N (0 to 32767; 0 gives six empty files).
    std::optional<std::uint32_t> recordsPerTable;
    // Replace data files that already exist.
    bool force = false;
};

struct DemoResult {
    std::string error;  // empty on success; otherwise names the file and the cause
    std::size_t recordsWritten = 0;
    bool ok() const { return error.empty(); }
};

// Largest recordsPerTable: the highest 2-byte record number.
inline constexpr std::uint32_t kMaxDemoRecords = 32767;

// Creates "wccrace2.dat" ... "wccmsg2.dat" in dir (which must exist) and inserts
// the records. Refuses, before writing anything, when a file exists and force is
// not set ("<path> already exists"), or when recordsPerTable is out of range.
DemoResult writeDemoWorld(const std::filesystem::path& dir, const DemoOptions& options);

// The packed records of one table exactly as writeDemoWorld inserts them, in
// insertion order, each of the table's record length.
std::vector<std::vector<std::uint8_t>> demoRecords(records::TableId table, const DemoOptions& options);

}  // namespace gamedata
