#include "test_support/data_files.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>
#include <wbtrv32/create_spec.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace test_support {
namespace {

using Block = std::array<std::uint8_t, BTR_POSITION_BLOCK_SIZE>;
using KeyBuffer = std::array<char, BTR_MAX_KEY_LENGTH>;

KeyBuffer fileNameKey(const records::TableFile& table) {
    KeyBuffer key{};
    std::copy(table.fileName.begin(), table.fileName.end(), key.begin());
    return key;
}

std::int16_t call(std::uint16_t operation, Block& block, void* data, std::uint32_t length, KeyBuffer& key) {
    return BTRCALL(operation, block.data(), data, &length, key.data(), BTR_MAX_KEY_LENGTH, 0);
}

}  // namespace

std::int16_t createDataFile(const records::TableFile& table) {
    wbtrv::CreateSpec file;
    file.recordLength = static_cast<std::uint16_t>(table.recordLength);
    file.keys = {{{1, static_cast<std::uint16_t>(table.numberWidth), B_KEY_EXTENDED_TYPE, B_TYPE_AUTOINCREMENT}}};
    std::vector<std::uint8_t> spec = wbtrv::buildCreateBuffer(file);
    Block block{};
    auto name = fileNameKey(table);
    return call(B_CREATE, block, spec.data(), static_cast<std::uint32_t>(spec.size()), name);
}

std::int16_t createDataFiles() {
    for (const auto& table : records::kTableFiles)
        if (const auto status = createDataFile(table); status != 0) return status;
    return 0;
}

std::int16_t insertRows(const records::TableFile& table, const std::vector<Row>& rows) {
    Block block{};
    auto key = fileNameKey(table);
    Row buffer(table.recordLength, 0);
    if (const auto status = call(B_OPEN, block, buffer.data(), 0, key); status != 0) return status;
    std::int16_t result = 0;
    for (const auto& row : rows) {
        std::fill(buffer.begin(), buffer.end(), 0);
        std::copy_n(row.begin(), std::min<std::size_t>(row.size(), buffer.size()), buffer.begin());
        result = call(B_INSERT, block, buffer.data(), table.recordLength, key);
        if (result != 0) break;
    }
    call(B_CLOSE, block, buffer.data(), 0, key);
    return result;
}

Row numberedRow(const records::TableFile& table, std::int32_t number, std::string_view text) {
    Row row(table.recordLength, 0);
    wbtrv::writeLittleEndian(row.data(), table.numberWidth, static_cast<std::uint32_t>(number));
    // Messages keep a 16-bit field between the number and their first line.
    const std::size_t textOffset = table.id == records::TableId::Messages ? 4 : table.numberWidth;
    std::copy_n(text.begin(), std::min(text.size(), row.size() - textOffset), row.begin() + textOffset);
    return row;
}

std::vector<Row> readRows(const records::TableFile& table) {
    std::vector<Row> rows;
    Block block{};
    auto key = fileNameKey(table);
    Row buffer(table.recordLength, 0);
    if (call(B_OPEN, block, buffer.data(), 0, key) != 0) return rows;
    for (auto status = call(B_GET_FIRST, block, buffer.data(), table.recordLength, key); status == 0;
         status = call(B_GET_NEXT, block, buffer.data(), table.recordLength, key))
        rows.push_back(buffer);
    call(B_CLOSE, block, buffer.data(), 0, key);
    return rows;
}

std::int32_t rowNumber(const records::TableFile& table, const Row& row) {
    return static_cast<std::int32_t>(wbtrv::readSignedLittleEndian(row.data(), table.numberWidth));
}

}  // namespace test_support
