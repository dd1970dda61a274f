// Operations by physical place: the Steps, Get Position and Get Direct; and
// Version, which needs no file.
#include "operations/operations.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace wbtrv {
namespace {

// What Version reports: the library's major and minor version (as BTRVERSION
// gives them) and our own platform letter.
constexpr std::uint8_t kPlatform = 'S';
constexpr std::uint32_t kVersionLength = 5;

}  // namespace

int stepOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    OpenFile& file = *handle->file;
    if (!file.layout().variableLength && args.dataCapacity() < file.layout().recordLength)
        return B_DATA_BUFFER_TOO_SHORT;
    const bool forward = args.operation == B_STEP_FIRST || args.operation == B_STEP_NEXT;
    std::int64_t from = handle->cursor.recordId;
    if (args.operation == B_STEP_FIRST) from = std::numeric_limits<std::int64_t>::min();
    if (args.operation == B_STEP_LAST) from = std::numeric_limits<std::int64_t>::max();
    Record& row = handle->scratch;
    if (const int status = file.step(forward, from, row); status != B_NO_ERROR) return status;
    if (const int status = lockRead(*handle, args, row.id); status != B_NO_ERROR) return status;
    if (const int status = deliverRecord(*handle, args, row); status != B_NO_ERROR) return status;
    // A Step follows no key: a Get Next or Previous after it has no place to move from.
    handle->cursor.positioned = false;
    handle->cursor.skipDuplicates = false;
    return B_NO_ERROR;
}

int getPositionOperation(Registry& registry, const CallArgs& args) {
    const Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    if (!handle->cursor.hasCurrent) return B_INVALID_POSITIONING;
    if (args.dataCapacity() < kPositionLength) return B_DATA_BUFFER_TOO_SHORT;
    writePosition(args.dataBytes(), handle->cursor.recordId);
    args.setDataLength(kPositionLength);
    return B_NO_ERROR;
}

// Reads the record at a position from Get Position and, unless the key number
// is -1, sets the key position on it.
int getDirectOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    OpenFile& file = *handle->file;
    const bool keyed = args.keyNumber != -1;
    const KeyDefinition* key = nullptr;
    if (keyed)
        if (const int status = keyToRead(*handle, args, key); status != B_NO_ERROR) return status;
    if (args.dataCapacity() < kPositionLength) return B_DATA_BUFFER_TOO_SHORT;

    Record& row = handle->scratch;
    if (const int status = file.read(readPosition(args.dataBytes()), row); status != B_NO_ERROR) return status;
    KeyValue value;
    if (key) {
        if (!key->fitsIn(row.data) || !key->valueFromRecord(row.data, value)) return B_IO_ERROR;
        if (value.null) return B_NULL_KEY_PATH;
    }
    if (const int status = lockRead(*handle, args, row.id); status != B_NO_ERROR) return status;
    Cursor& cursor = handle->cursor;
    cursor.positioned = keyed;
    cursor.skipDuplicates = false;
    cursor.keyNumber = keyed ? args.keyNumber : 0;
    cursor.keyValue = value;
    // The position is set even when the record does not fit the buffer.
    cursor.recordId = row.id;
    cursor.hasCurrent = false;
    cursor.lastRead.clear();
    if (key) key->keyBytesOf(row.data, args.keyBytes());
    return deliverRecord(*handle, args, row);
}

int versionOperation(Registry&, const CallArgs& args) {
    if (args.dataCapacity() < kVersionLength) return B_DATA_BUFFER_TOO_SHORT;
    int major = 0, minor = 0;
    std::sscanf(WBTRV32_VERSION, "%d.%d", &major, &minor);
    std::uint8_t* out = args.dataBytes();
    writeLittleEndian(out, 2, major);
    writeLittleEndian(out + 2, 2, minor);
    out[4] = kPlatform;
    args.setDataLength(kVersionLength);
    return B_NO_ERROR;
}

}  // namespace wbtrv
