// The published Create buffer: the file's entry and the key entries.
#pragma once

#include "core/file_layout.h"

#include <cstdint>

namespace wbtrv {

// Parses and checks a Create buffer of `size` bytes; returns a status and,
// on 0, the layout to create.
int parseCreateBuffer(const std::uint8_t* buffer, std::uint32_t size, FileLayout& layout);

}  // namespace wbtrv
