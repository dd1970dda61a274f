#include "test_support/data_files.h"

#include <wbtrv32/bytes.h>
#include <wbtrv32/client.h>

#include <algorithm>

namespace test_support {

namespace client = wbtrv::client;

std::int16_t createDataFile(const records::TableFile& table) {
    wbtrv::CreateEntries entries;
    entries.recordLength = static_cast<std::uint16_t>(table.recordLength);
    entries.keys = {{{1, static_cast<std::uint16_t>(table.numberWidth), B_KEY_EXTENDED_TYPE, B_TYPE_AUTOINCREMENT}}};
    return client::create(table.fileName, entries, client::IfExists::Replace);
}

std::int16_t createDataFiles() {
    for (const auto& table : records::kTableFiles)
        if (const auto status = createDataFile(table); status != 0) return status;
    return 0;
}

std::int16_t insertRows(const records::TableFile& table, const std::vector<Row>& rows) {
    client::File file;
    if (const auto status = file.open(table.fileName); status != 0) return status;
    Row buffer(table.recordLength, 0);
    for (const auto& row : rows) {
        std::fill(buffer.begin(), buffer.end(), 0);
        std::copy_n(row.begin(), std::min<std::size_t>(row.size(), buffer.size()), buffer.begin());
        if (const auto status = file.insert(buffer); status != 0) return status;
    }
    return file.close();
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
    client::File file;
    if (file.open(table.fileName) != 0) return rows;
    for (auto status = file.get(client::Move::First, 0); status == 0; status = file.get(client::Move::Next, 0))
        rows.emplace_back(file.record().begin(), file.record().end());
    return rows;
}

std::int32_t rowNumber(const records::TableFile& table, const Row& row) {
    return static_cast<std::int32_t>(wbtrv::readSignedLittleEndian(row.data(), table.numberWidth));
}

}  // namespace test_support
