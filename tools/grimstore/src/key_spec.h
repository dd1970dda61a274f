// File and key specifications: the text form used on the command line and in
// stat output, and the published 16-byte binary form of Create and Stat.
#pragma once

#include <wbtrv32/create_spec.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace grimstore {

// The published file and key specifications, as the record manager's buffer
// helpers build and read them.
using KeySegment = wbtrv::SegmentSpec;
using Key = wbtrv::KeySpec;
using FileSpec = wbtrv::CreateSpec;

// Parses "POS:LEN:TYPE[:FLAGS]", FLAGS being names joined by ',' or ':'
// (dup, mod, ...). TYPE is a name (integer, unsigned, autoinc, ...) or a code.
// Returns the segment or sets error to what is wrong.
std::optional<KeySegment> parseKeySegment(std::string_view text, std::string& error);

// Parses a key of one or more segments joined by '+':
// "POS:LEN:TYPE[:FLAGS]+POS:LEN:TYPE[:FLAGS]...".
std::optional<Key> parseKey(std::string_view text, std::string& error);

std::string typeName(uint8_t type);
// Names of the flags set, joined by ','; "none" when no flag is shown.
std::string flagNames(uint16_t flags);

}  // namespace grimstore
