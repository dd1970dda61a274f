// Data files for tests, made through the record manager in the current folder.
// Every file has the table's record length and one key, key 0: an autoincrement
// key of the record number's width at the start of the record.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "records/tables.h"

namespace test_support {

using Row = std::vector<std::uint8_t>;

// Creates (or replaces) the table's file, empty. Returns the record manager's status.
std::int16_t createDataFile(const records::TableFile& table);
// Creates all six files, empty; the first failing status, else 0.
std::int16_t createDataFiles();

// Opens the table's file, inserts the rows in order, closes it; the first failing status, else 0.
// A row with number 0 gets the next free number.
std::int16_t insertRows(const records::TableFile& table, const std::vector<Row>& rows);

// A zero row of the table's record length holding number in the record-number field
// and text in the first text field (the name; the first line of a message).
Row numberedRow(const records::TableFile& table, std::int32_t number, std::string_view text = {});

// Reads every record of the table's file in number order (empty if it cannot be read).
std::vector<Row> readRows(const records::TableFile& table);

// The record number stored in a row of the table.
std::int32_t rowNumber(const records::TableFile& table, const Row& row);

}  // namespace test_support
