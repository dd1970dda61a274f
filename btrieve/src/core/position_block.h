// What we keep in the caller's 128-byte position block: a tag, the id of our
// process-side handle and its generation. No pointers, no cursor we would
// have to trust: the cursor lives in the handle.
#pragma once

#include <cstdint>

namespace wbtrv {

struct BlockTag {
    std::uint32_t id = 0;
    std::uint64_t generation = 0;
};

// Writes the tag and zeroes the rest of the block.
void writeBlock(void* block, const BlockTag& tag);
// Reads a tag; false when the block does not carry one.
bool readBlock(const void* block, BlockTag& tag);
void clearBlock(void* block);

}  // namespace wbtrv
