#include "operations.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {
namespace {

// Where the read starts: the key value and record id it moves from, if any.
int startingPoint(const Handle& handle, const KeyDefinition& key, const CallArgs& args, Seek& how, KeyValue& value,
                  std::int64_t& id) {
    const Cursor& cursor = handle.cursor;
    switch (args.operation) {
        case B_GET_FIRST:
            how = Seek::First;
            return B_NO_ERROR;
        case B_GET_LAST:
            how = Seek::Last;
            return B_NO_ERROR;
        case B_GET_EQUAL: {
            how = Seek::Equal;
            // A value the key cannot hold is in no record, nor is a null one.
            if (!key.valueFromKeyBytes(args.keyBytes(), value) || value.null) return B_KEY_VALUE_NOT_FOUND;
            return B_NO_ERROR;
        }
        default:
            how = args.operation == B_GET_NEXT ? Seek::Next : Seek::Previous;
            if (!cursor.positioned) return B_INVALID_POSITIONING;
            if (cursor.keyNumber != args.keyNumber) return B_DIFFERENT_KEY_NUMBER;
            value = cursor.keyValue;
            id = cursor.recordId;
            return B_NO_ERROR;
    }
}

}  // namespace

int getOperation(Engine& engine, const CallArgs& args) {
    Handle* handle = engine.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    DataFile& file = *handle->file;
    const auto& keys = file.layout().keys;
    if (args.keyNumber < 0 || static_cast<std::size_t>(args.keyNumber) >= keys.size()) return B_INVALID_KEY_NUMBER;
    const KeyDefinition& key = keys[static_cast<std::size_t>(args.keyNumber)];
    if (!key.supported()) return B_OPERATION_NOT_ALLOWED;
    if (args.keyCapacity() < key.length()) return B_KEY_BUFFER_TOO_SHORT;

    Seek how = Seek::First;
    KeyValue value;
    std::int64_t id = 0;
    if (const int status = startingPoint(*handle, key, args, how, value, id); status != B_NO_ERROR) return status;
    // A buffer too short for any record of the file: refused before anything moves.
    if (!file.layout().variableLength && args.dataCapacity() < file.layout().recordLength)
        return B_DATA_BUFFER_TOO_SHORT;
    Record& row = handle->scratch;
    if (const int status = file.seek(how, static_cast<std::size_t>(args.keyNumber), value, id, row);
        status != B_NO_ERROR)
        return status;
    // Records of a variable-length file may still be longer than the buffer.
    if (row.data.size() > args.dataCapacity()) return B_DATA_BUFFER_TOO_SHORT;
    if (!key.fitsIn(row.data)) return B_IO_ERROR;
    std::copy(row.data.begin(), row.data.end(), args.dataBytes());
    args.setDataLength(static_cast<std::uint32_t>(row.data.size()));
    key.keyBytesOf(row.data, args.keyBytes());

    Cursor& cursor = handle->cursor;
    cursor.positioned = true;
    cursor.hasCurrent = true;
    cursor.keyNumber = args.keyNumber;
    key.valueFromRecord(row.data, cursor.keyValue);
    cursor.recordId = row.id;
    std::swap(cursor.lastRead, row.data);
    return B_NO_ERROR;
}

}  // namespace wbtrv
