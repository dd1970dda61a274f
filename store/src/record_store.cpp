#include "store/record_store.h"

#include <wbtrv32/bytes.h>

#include <array>
#include <string>
#include <utility>

#include "records/number_text.h"

namespace store {
namespace {

// The key length handed over with a table's own key buffer: its whole size.
constexpr std::uint8_t kKeyBufferLength = 255;
constexpr std::uint8_t kRecordNumberKeyLength = 4;

}  // namespace

RecordStore::RecordStore(BtrCall call, StatusReporter& reporter) : call_(std::move(call)), reporter_(reporter) {}

std::int16_t RecordStore::onTable(Operation operation, TableFileBlock& block) const {
    std::uint32_t dataLength = block.recordLength;  // a fresh value; what comes back is not used
    return call_(operation, block.positionBlock.data(), block.row.data(), &dataLength, block.keyBuffer.data(),
                 kKeyBufferLength, static_cast<std::int8_t>(block.keyNumber));
}

std::int16_t RecordStore::getEqual(TableFileBlock& block, std::int32_t recordNumber) const {
    // The wanted number as a separate little-endian key; the table's key buffer stays as it is.
    std::array<std::uint8_t, kRecordNumberKeyLength> key{};
    wbtrv::writeLittleEndian(key.data(), key.size(), static_cast<std::uint32_t>(recordNumber));
    std::uint32_t dataLength = block.recordLength;
    return call_(B_GET_EQUAL, block.positionBlock.data(), block.row.data(), &dataLength, key.data(),
                 kRecordNumberKeyLength, static_cast<std::int8_t>(block.keyNumber));
}

std::int16_t RecordStore::onRecordManager(Operation operation) const {
    // Stop and Reset take no table buffers: zeroed scratch values stand in for them.
    std::array<std::uint8_t, 128> scratchPosition{};
    std::array<std::uint8_t, 128> scratchData{};
    std::uint32_t dataLength = 0;
    return call_(operation, scratchPosition.data(), scratchData.data(), &dataLength, nullptr, kKeyBufferLength, 0);
}

bool RecordStore::check(std::int16_t status, std::string_view prefix, EndOfFile endOfFile) const {
    if (status == 0) return true;
    if (status == B_END_OF_FILE && endOfFile == EndOfFile::Silent) return false;
    reporter_.reportStatus(std::string(prefix) + records::decimalText(status));
    return false;
}

}  // namespace store
