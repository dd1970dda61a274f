// The published Create buffer: the file's entry and the key entries.
#pragma once

#include "core/file_layout.h"

#include <cstdint>

namespace wbtrv {

// Parses and checks a Create buffer of `size` bytes; returns a status and,
// on 0, the layout to create.
int parseCreateBuffer(const std::uint8_t* buffer, std::uint32_t size, FileLayout& layout);

// Parses and checks the key entries of Create Index, for a file of records
// `recordLength` bytes long: one entry per segment as in Create, then the
// collating sequence if the key uses one. On 0, the key and the number its
// first entry gives; else 22 (the entries are cut short) or Create's status.
int parseKeyEntries(const std::uint8_t* buffer, std::uint32_t size, std::uint32_t recordLength, KeyDefinition& key,
                    std::uint8_t& number);

}  // namespace wbtrv
