#include "core/position_block.h"

#include <wbtrv32/btrieve.h>

#include <cstring>

namespace wbtrv {
namespace {

constexpr std::uint32_t kMagic = 0x31425057;  // marks a block we set up
constexpr std::size_t kIdOffset = 4;
constexpr std::size_t kGenerationOffset = 8;

}  // namespace

void writeBlock(void* block, const BlockTag& tag) {
    auto* bytes = static_cast<unsigned char*>(block);
    std::memset(bytes, 0, BTR_POSITION_BLOCK_SIZE);
    std::memcpy(bytes, &kMagic, sizeof kMagic);
    std::memcpy(bytes + kIdOffset, &tag.id, sizeof tag.id);
    std::memcpy(bytes + kGenerationOffset, &tag.generation, sizeof tag.generation);
}

bool readBlock(const void* block, BlockTag& tag) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    std::uint32_t magic = 0;
    std::memcpy(&magic, bytes, sizeof magic);
    if (magic != kMagic) return false;
    std::memcpy(&tag.id, bytes + kIdOffset, sizeof tag.id);
    std::memcpy(&tag.generation, bytes + kGenerationOffset, sizeof tag.generation);
    return true;
}

void clearBlock(void* block) { std::memset(block, 0, BTR_POSITION_BLOCK_SIZE); }

}  // namespace wbtrv
