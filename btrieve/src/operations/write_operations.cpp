#include "operations/operations.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {
namespace {

// The checks every write starts with; on 0, `handle` is the block's handle.
int writableHandle(Registry& registry, const CallArgs& args, Handle*& handle) {
    handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    if (handle->readOnly) return B_ACCESS_DENIED;
    if (!handle->file->layout().writable()) return B_OPERATION_NOT_ALLOWED;
    return B_NO_ERROR;
}

// Checks of a write that brings a record, which must be exactly the file's
// record length: nothing is padded or cut. On 0 the record is copied into
// the handle's scratch buffer.
int recordFromCaller(Registry& registry, const CallArgs& args, Handle*& handle) {
    if (const int status = writableHandle(registry, args, handle); status != B_NO_ERROR) return status;
    const std::uint32_t expected = handle->file->layout().recordLength;
    const std::uint32_t given = args.dataCapacity();
    if (given < expected) return B_DATA_BUFFER_TOO_SHORT;
    if (given > expected) return B_INVALID_RECORD_LENGTH;
    handle->scratch.data.assign(args.dataBytes(), args.dataBytes() + expected);
    return B_NO_ERROR;
}

}  // namespace

void placeCursor(Handle& handle, int keyNumber, std::int64_t id, bool keyed) {
    Cursor& cursor = handle.cursor;
    cursor.positioned = keyed;
    cursor.hasCurrent = true;
    cursor.skipDuplicates = false;
    cursor.keyNumber = keyNumber;
    handle.file->layout().keys[static_cast<std::size_t>(keyNumber)].valueFromRecord(handle.scratch.data,
                                                                                    cursor.keyValue);
    cursor.recordId = id;
    std::swap(cursor.lastRead, handle.scratch.data);
}

int insertOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = nullptr;
    if (const int status = recordFromCaller(registry, args, handle); status != B_NO_ERROR) return status;
    OpenFile& file = *handle->file;
    const FileLayout& layout = file.layout();
    std::vector<std::uint8_t>& record = handle->scratch.data;
    if (args.keyNumber < 0 || !layout.hasKey(static_cast<std::size_t>(args.keyNumber))) return B_INVALID_KEY_NUMBER;
    const KeyDefinition& key = layout.keys[static_cast<std::size_t>(args.keyNumber)];
    if (args.keyCapacity() < key.length()) return B_KEY_BUFFER_TOO_SHORT;

    std::int64_t id = 0;
    // A record inserted in a transaction needs no lock: no other process sees it before End.
    if (const int status = file.insert(record, id); status != B_NO_ERROR) return status;
    // The record as stored, with any autoincrement value it was given.
    std::copy(record.begin(), record.end(), args.dataBytes());
    key.keyBytesOf(record, args.keyBytes());
    placeCursor(*handle, args.keyNumber, id, true);
    return B_NO_ERROR;
}

int updateOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = nullptr;
    if (const int status = recordFromCaller(registry, args, handle); status != B_NO_ERROR) return status;
    Cursor& cursor = handle->cursor;
    if (!cursor.hasCurrent) return B_INVALID_POSITIONING;
    if (const int status = handle->file->update(cursor.recordId, cursor.lastRead, handle->scratch.data);
        status != B_NO_ERROR)
        return status;
    handle->file->keepChanged(cursor.recordId);
    Registry::unlock(*handle, cursor.recordId, false);
    placeCursor(*handle, cursor.keyNumber, cursor.recordId, cursor.positioned);
    return B_NO_ERROR;
}

int deleteOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = nullptr;
    if (const int status = writableHandle(registry, args, handle); status != B_NO_ERROR) return status;
    Cursor& cursor = handle->cursor;
    if (!cursor.hasCurrent) return B_INVALID_POSITIONING;
    if (const int status = handle->file->remove(cursor.recordId, cursor.lastRead); status != B_NO_ERROR) return status;
    handle->file->keepChanged(cursor.recordId);
    Registry::unlock(*handle, cursor.recordId, true);
    // The position stays where the record stood, so Next and Previous move on from there.
    cursor.hasCurrent = false;
    cursor.lastRead.clear();
    return B_NO_ERROR;
}

}  // namespace wbtrv
