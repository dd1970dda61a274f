// What a File handle owns besides its name: the position block, the key
// buffer, the buffer reads land in and the one extended calls use.
#pragma once

#include <wbtrv32/client.h>

#include <array>
#include <vector>

namespace wbtrv::client {

// Room for any record, and for the answer of Stat on all but the largest files.
constexpr std::uint32_t kDataCapacity = kMaxRecordLength + 1;

struct File::Buffers {
    EntryPoint entryPoint = BTRCALL;
    std::array<std::uint8_t, BTR_POSITION_BLOCK_SIZE> position{};
    std::array<std::uint8_t, BTR_MAX_KEY_LENGTH> key{};
    std::vector<std::uint8_t> data = std::vector<std::uint8_t>(kDataCapacity);
    std::vector<std::uint8_t> extended;  // an extended call's request and answer
};

// The operation code with a lock bias added.
std::uint16_t withLock(std::uint16_t operation, Lock lock);

}  // namespace wbtrv::client
