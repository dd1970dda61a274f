// Keys in the text form of the command line and of stat's output; the Create
// buffer's entries they stand for are the record manager's own helpers'.
#pragma once

#include <wbtrv32/create_entries.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace grimstore {

using wbtrv::CreateEntries;
using wbtrv::KeySegments;
using wbtrv::SegmentEntry;

// Parses "POS:LEN:TYPE[:FLAGS]", FLAGS being names joined by ',' or ':'
// (dup, mod, ...). TYPE is a name (integer, unsigned, autoinc, ...) or a code.
// Returns the segment or sets error to what is wrong.
std::optional<SegmentEntry> parseKeySegment(std::string_view text, std::string& error);

// Parses a key of one or more segments joined by '+':
// "POS:LEN:TYPE[:FLAGS]+POS:LEN:TYPE[:FLAGS]...".
std::optional<KeySegments> parseKey(std::string_view text, std::string& error);

std::string typeName(uint8_t type);
// Names of the flags set, joined by ','; "none" when no flag is shown.
std::string flagNames(uint16_t flags);

}  // namespace grimstore
