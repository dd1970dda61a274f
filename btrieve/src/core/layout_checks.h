// Checks of what a data file says about itself, made when it is opened: a
// damaged description is refused with a status rather than trusted later.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wbtrv {

// Whether a segment of `length` bytes at `offset` lies inside a record of
// `recordLength` bytes, computed without overflow for any stored values.
bool segmentInside(std::int64_t offset, std::int64_t length, std::uint32_t recordLength);

// Whether a stored record of `size` bytes can be the record of a file with
// this record length (variable-length files keep at least the fixed part).
bool storedLengthSound(std::size_t size, std::uint32_t recordLength, bool variableLength);

}  // namespace wbtrv
