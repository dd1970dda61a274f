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
    // Unset: the default world. Set: this many generated records per table,
    // numbered 1 to N (0 gives six empty files); a table whose record number
    // has 2 bytes stops at 32,767.
    std::optional<std::uint32_t> recordsPerTable;
    // Replace data files that already exist.
    bool force = false;
};

struct DemoResult {
    std::string error;  // empty on success; otherwise names the file and the cause
    std::size_t recordsWritten = 0;
    bool ok() const { return error.empty(); }
};

// Largest recordsPerTable: the rows of one table are built in memory first.
inline constexpr std::uint32_t kMaxDemoRecords = 200000;
// The highest record number a table of 2-byte numbers can hold.
inline constexpr std::uint32_t kMaxShortNumber = 32767;

// Creates "wccrace2.dat" ... "wccmsg2.dat" in dir (which must exist) and inserts
// the records, each file's in one transaction. Refuses, before writing anything, when a file exists and force is
// not set ("<path> already exists"), or when recordsPerTable is out of range.
DemoResult writeDemoWorld(const std::filesystem::path& dir, const DemoOptions& options);

// The packed records of one table exactly as writeDemoWorld inserts them, in
// insertion order, each of the table's record length.
std::vector<std::vector<std::uint8_t>> demoRecords(records::TableId table, const DemoOptions& options);

}  // namespace gamedata
