// What a read of a data file asks an engine for and gets back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wbtrv {

// A record and its physical place (its id, which Get Position reports).
struct Record {
    std::int64_t id = 0;
    std::vector<std::uint8_t> data;
};

// The one record a read along a key finds, relative to a key value and a
// record id. Records of equal value follow one another in id order; a record
// left out of a null key is on no key's path.
enum class KeyQuery {
    First,           // the first along the key
    Last,            // the last along the key
    NextSame,        // the next of the same value, after the id
    Greater,         // the first of a greater value
    GreaterOrEqual,  // the first of the value or a greater one
    PreviousSame,    // the previous of the same value, before the id
    Less,            // the last of a smaller value
    LessOrEqual,     // the last of the value or a smaller one
    Equal,           // the first of the value
};
inline constexpr std::size_t kKeyQueries = 9;

// A read in physical order: the record after or before an id, or the record of that id.
enum class RowQuery { After, Before, Exact };

// A record's 4-byte position as Get Position gives it and Get Direct, Unlock
// and the extended operations' answers carry it: its id, the high 16 bits
// first, each word little-endian.
constexpr std::uint32_t kPositionLength = 4;
void writePosition(std::uint8_t* out, std::int64_t id);
std::int64_t readPosition(const std::uint8_t* in);
// The key number that stands for physical order (record id order) where a key or that order may be asked.
inline constexpr std::size_t kPhysicalOrder = SIZE_MAX;

// Where a key value (or a record id) stands: what Find Percentage asks.
struct Rank {
    std::uint64_t before = 0;  // records before it along the key (or by id)
    std::uint64_t total = 0;   // records the key holds (or the file holds)
    bool found = false;        // a record holds the value (or has the id)
};

}  // namespace wbtrv
