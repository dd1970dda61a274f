// File and key specifications: the text form used on the command line and in
// stat output, and the published 16-byte binary form of Create and Stat.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace grimstore {

struct KeySegment {
    uint16_t position = 1;  // 1-based, as in the published layout
    uint16_t length = 0;
    uint16_t flags = 0;
    uint8_t type = 0;  // extended key type
};

// One key: its segments in order (every one but the last carries the segmented flag).
using Key = std::vector<KeySegment>;

struct FileSpec {
    uint16_t recordLength = 0;
    uint16_t pageSize = 4096;
    uint32_t recordCount = 0;  // filled by Stat only
    uint16_t fileFlags = 0;
    std::vector<Key> keys;
};

// Parses "POS:LEN:TYPE[:FLAGS]", FLAGS being names joined by ',' or ':'
// (dup, mod, ...). TYPE is a name (integer, unsigned, autoinc, ...) or a code.
// Returns the segment or sets error to what is wrong.
std::optional<KeySegment> parseKeySegment(std::string_view text, std::string& error);

// The type of a segment as the record manager treats it: the type byte when
// the extended-type flag is set, else binary or string by the binary flag.
uint8_t effectiveType(const KeySegment& segment);

std::string typeName(uint8_t type);
// Names of the flags set, joined by ','; "none" when no flag is shown.
std::string flagNames(uint16_t flags);

// Create data buffer: file specification and one key specification per segment.
std::vector<uint8_t> encodeCreateBuffer(const FileSpec& spec);

// Reads what Stat returned; nullopt when the buffer is too short for the
// number of keys it announces.
std::optional<FileSpec> decodeStatBuffer(std::span<const uint8_t> buffer);

}  // namespace grimstore
