// Everything the editor keeps for one data file for the whole run.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "records/tables.h"

namespace store {

struct TableFileBlock {
    explicit TableFileBlock(const records::TableFile& table)
        : file(table), recordLength(table.recordLength), row(table.recordLength, 0) {}

    const records::TableFile& file;
    std::uint32_t recordLength;     // also the data length of every call on the file
    std::vector<std::uint8_t> row;  // packed row buffer; all zero until the first read
    std::int16_t openFlag = 0;      // 1 once Open succeeded; never reset
    std::array<std::uint8_t, 128> positionBlock{};
    std::int16_t keyNumber = 0;         // key 0, the record number; on Open the normal mode
    std::array<char, 255> keyBuffer{};  // the file name before Open; the record manager's afterwards
};

// The buffers of a block that a call may write, kept before a write so that a
// refused one leaves the block exactly as it was.
class BlockBuffers {
public:
    explicit BlockBuffers(const TableFileBlock& block)
        : row_(block.row),
          positionBlock_(block.positionBlock),
          keyNumber_(block.keyNumber),
          keyBuffer_(block.keyBuffer) {}

    void restore(TableFileBlock& block) const {
        block.row = row_;
        block.positionBlock = positionBlock_;
        block.keyNumber = keyNumber_;
        block.keyBuffer = keyBuffer_;
    }

private:
    std::vector<std::uint8_t> row_;
    std::array<std::uint8_t, 128> positionBlock_;
    std::int16_t keyNumber_;
    std::array<char, 255> keyBuffer_;
};

}  // namespace store
