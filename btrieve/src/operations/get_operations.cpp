// The Get operations: reads along a key, by value or from the position.
#include "operations/operations.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {
namespace {

Seek byValue(std::uint16_t operation) {
    switch (operation) {
        case B_GET_GREATER:
            return Seek::Greater;
        case B_GET_GREATER_OR_EQUAL:
            return Seek::GreaterOrEqual;
        case B_GET_LESS:
            return Seek::Less;
        case B_GET_LESS_OR_EQUAL:
            return Seek::LessOrEqual;
        default:
            return Seek::Equal;
    }
}

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
        case B_GET_NEXT:
        case B_GET_PREVIOUS: {
            const bool next = args.operation == B_GET_NEXT;
            if (!cursor.positioned) return B_INVALID_POSITIONING;
            if (cursor.keyNumber != args.keyNumber) return B_DIFFERENT_KEY_NUMBER;
            // After a key-only read the position stands on a value, not on one of its records.
            if (cursor.skipDuplicates)
                how = next ? Seek::Greater : Seek::Less;
            else
                how = next ? Seek::Next : Seek::Previous;
            value = cursor.keyValue;
            id = cursor.recordId;
            return B_NO_ERROR;
        }
        default: {
            how = byValue(args.operation);
            if (key.valueFromKeyBytes(args.keyBytes(), value)) {
                // A null key value is in no record and has no place in the key's order.
                if (!value.null) return B_NO_ERROR;
                return how == Seek::Equal ? B_KEY_VALUE_NOT_FOUND : B_END_OF_FILE;
            }
            // A value the key cannot hold is above every value it holds.
            if (how == Seek::Less || how == Seek::LessOrEqual) {
                how = Seek::Last;
                return B_NO_ERROR;
            }
            return how == Seek::Equal ? B_KEY_VALUE_NOT_FOUND : B_END_OF_FILE;
        }
    }
}

}  // namespace

int deliverRecord(Handle& handle, const CallArgs& args, Record& row) {
    if (row.data.size() > args.dataCapacity()) return B_DATA_BUFFER_TOO_SHORT;
    std::copy(row.data.begin(), row.data.end(), args.dataBytes());
    args.setDataLength(static_cast<std::uint32_t>(row.data.size()));
    Cursor& cursor = handle.cursor;
    cursor.hasCurrent = true;
    cursor.recordId = row.id;
    std::swap(cursor.lastRead, row.data);
    return B_NO_ERROR;
}

int keyToRead(const Handle& handle, const CallArgs& args, const KeyDefinition*& key) {
    const FileLayout& layout = handle.file->layout();
    if (args.keyNumber < 0 || !layout.hasKey(static_cast<std::size_t>(args.keyNumber))) return B_INVALID_KEY_NUMBER;
    key = &layout.keys[static_cast<std::size_t>(args.keyNumber)];
    if (!key->supported()) return B_OPERATION_NOT_ALLOWED;
    if (args.keyCapacity() < key->length()) return B_KEY_BUFFER_TOO_SHORT;
    return B_NO_ERROR;
}

int getOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    OpenFile& file = *handle->file;
    const KeyDefinition* keyRead = nullptr;
    if (const int status = keyToRead(*handle, args, keyRead); status != B_NO_ERROR) return status;
    const KeyDefinition& key = *keyRead;

    Seek how = Seek::First;
    KeyValue value;
    std::int64_t id = 0;
    if (const int status = startingPoint(*handle, key, args, how, value, id); status != B_NO_ERROR) return status;
    // A buffer too short for any record of the file: refused before anything moves.
    if (!args.keyOnly && !file.layout().variableLength && args.dataCapacity() < file.layout().recordLength)
        return B_DATA_BUFFER_TOO_SHORT;
    Record& row = handle->scratch;
    if (const int status = file.seek(how, static_cast<std::size_t>(args.keyNumber), value, id, row);
        status != B_NO_ERROR)
        return status;
    if (!key.fitsIn(row.data)) return B_IO_ERROR;
    // Records of a variable-length file may still be longer than the buffer.
    if (!args.keyOnly && row.data.size() > args.dataCapacity()) return B_DATA_BUFFER_TOO_SHORT;
    if (const int status = lockRead(*handle, args, row.id); status != B_NO_ERROR) return status;
    key.keyBytesOf(row.data, args.keyBytes());
    Cursor& cursor = handle->cursor;
    KeyValue found;
    key.valueFromRecord(row.data, found);
    if (args.keyOnly) {
        cursor.hasCurrent = false;
        cursor.recordId = row.id;
        cursor.lastRead.clear();
    } else {
        deliverRecord(*handle, args, row);
    }
    cursor.positioned = true;
    cursor.skipDuplicates = args.keyOnly;
    cursor.keyNumber = args.keyNumber;
    cursor.keyValue = found;
    return B_NO_ERROR;
}

}  // namespace wbtrv
