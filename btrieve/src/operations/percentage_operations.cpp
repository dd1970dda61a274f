// Get By Percentage and Find Percentage: how far along a key (or along the
// records' physical order) a record stands, from 0 at the first record to
// 10,000 at the last, for scroll bars.
#include "operations/operations.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <algorithm>

namespace wbtrv {
namespace {

constexpr std::uint64_t kWhole = 10000;
// Find Percentage answers 4 bytes; a reader of 2 reads the same number.
constexpr std::uint32_t kPercentageLength = 4;

// The rank (0 the first) a percentage points at among `records` records,
// and back: rounded to the nearest, so that up to 10,001 records each
// percentage Find Percentage gives leads Get By Percentage to the same record.
std::uint64_t rankAt(std::uint64_t percentage, std::uint64_t records) {
    return (std::min(percentage, kWhole) * (records - 1) + kWhole / 2) / kWhole;
}
std::uint64_t percentageAt(std::uint64_t rank, std::uint64_t records) {
    return records <= 1 ? 0 : (rank * kWhole + (records - 1) / 2) / (records - 1);
}

// The order a percentage runs along: key keyNumber, or -1 for physical order (key then stays null).
int orderOf(const Handle& handle, const CallArgs& args, const KeyDefinition*& key, std::size_t& order) {
    key = nullptr;
    order = kPhysicalOrder;
    if (args.keyNumber == -1) return B_NO_ERROR;
    order = static_cast<std::size_t>(args.keyNumber);
    return keyToRead(handle, args, key);
}

}  // namespace

int getByPercentageOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    OpenFile& file = *handle->file;
    const KeyDefinition* key = nullptr;
    std::size_t order = kPhysicalOrder;
    if (const int status = orderOf(*handle, args, key, order); status != B_NO_ERROR) return status;
    if (args.dataCapacity() < std::max(kPositionLength, file.layout().variableLength ? 0 : file.layout().recordLength))
        return B_DATA_BUFFER_TOO_SHORT;
    Rank rank;
    if (const int status = file.rank(order, KeyValue{}, 0, rank); status != B_NO_ERROR) return status;
    if (rank.total == 0) return B_END_OF_FILE;
    Record& row = handle->scratch;
    if (const int status = file.readAtRank(order, rankAt(readLittleEndian(args.dataBytes(), 2), rank.total), row);
        status != B_NO_ERROR)
        return status;
    if (row.data.size() > args.dataCapacity()) return B_DATA_BUFFER_TOO_SHORT;
    if (const int status = lockRead(*handle, args, row.id); status != B_NO_ERROR) return status;
    Cursor& cursor = handle->cursor;
    cursor.positioned = key != nullptr;
    cursor.skipDuplicates = false;
    if (key) {
        key->keyBytesOf(row.data, args.keyBytes());
        key->valueFromRecord(row.data, cursor.keyValue);
        cursor.keyNumber = args.keyNumber;
    }
    return deliverRecord(*handle, args, row);
}

int findPercentageOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    const KeyDefinition* key = nullptr;
    std::size_t order = kPhysicalOrder;
    if (const int status = orderOf(*handle, args, key, order); status != B_NO_ERROR) return status;
    if (args.dataCapacity() < kPercentageLength) return B_DATA_BUFFER_TOO_SHORT;
    KeyValue value;
    std::int64_t id = 0;
    if (key) {
        // A value the key cannot hold, or its null value, is in no record.
        if (!key->valueFromKeyBytes(args.keyBytes(), value) || value.null) return B_KEY_VALUE_NOT_FOUND;
    } else {
        id = readPosition(args.dataBytes());
    }
    Rank rank;
    if (const int status = handle->file->rank(order, value, id, rank); status != B_NO_ERROR) return status;
    if (!rank.found) return key ? B_KEY_VALUE_NOT_FOUND : B_INVALID_RECORD_ADDRESS;
    writeLittleEndian(args.dataBytes(), kPercentageLength, percentageAt(rank.before, rank.total));
    args.setDataLength(kPercentageLength);
    return B_NO_ERROR;
}

}  // namespace wbtrv
