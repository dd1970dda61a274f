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

}  // namespace store
