// What the record manager's fuzz targets share: a scratch folder and short
// forms of the calls.
#pragma once

#include <wbtrv32/btrieve.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

using Bytes = std::vector<std::uint8_t>;
using Block = std::array<std::uint8_t, BTR_POSITION_BLOCK_SIZE>;

// A path in a folder of this process's own, made on first use (and left
// behind: libFuzzer ends the process without running destructors).
std::string scratchPath(const std::string& name);
// Removes the file and its journal files.
void removeDataFile(const std::string& path);
// Verifies the file (whatever the answer: it must answer), closes every file
// of the record manager and removes it.
void verifyAndRemove(const std::string& path);

std::int16_t call(std::uint16_t operation, Block& block, Bytes& data, Bytes& key, std::int8_t keyNumber);
std::int16_t open(Block& block, const std::string& path);
// Creates a file of 16-byte records: key 0 a 4-byte autoincrement at 0, key 1
// a 2-byte integer at 4 (duplicates, modifiable), key 2 a 4-byte unsigned at 6
// (unique, modifiable).
std::int16_t createStandard(const std::string& path);

// Creates a file of the standard layout holding three records; aborts on failure.
void expectCreated(const std::string& path);

void putInt(Bytes& bytes, std::size_t offset, std::size_t length, std::int64_t value);
std::int64_t getInt(const Bytes& bytes, std::size_t offset, std::size_t length);

}  // namespace fuzz
