// BTRSTATUSTEXT, BTRSERVERMESSAGE and BTRVERSION: the words of a status, the
// server's own words on the last failure, and the library's version, so that
// callers need no tables of their own.
#include "operations/call_args.h"
#include "server/server_message.h"

#include <wbtrv32/btrieve.h>

namespace {

struct StatusWords {
    int16_t status;
    const char* words;
};

constexpr StatusWords kStatusWords[] = {
    {B_NO_ERROR, "success"},
    {B_INVALID_OPERATION, "invalid operation"},
    {B_IO_ERROR, "I/O error"},
    {B_FILE_NOT_OPEN, "file not open"},
    {B_KEY_VALUE_NOT_FOUND, "key value not found"},
    {B_DUPLICATE_KEY_VALUE, "duplicate key value"},
    {B_INVALID_KEY_NUMBER, "invalid key number"},
    {B_DIFFERENT_KEY_NUMBER, "different key number"},
    {B_INVALID_POSITIONING, "invalid positioning"},
    {B_END_OF_FILE, "end of file"},
    {B_MODIFIABLE_KEY_VALUE_ERROR, "key not modifiable"},
    {B_INVALID_FILE_NAME, "invalid file name"},
    {B_FILE_NOT_FOUND, "file not found"},
    {B_DISK_FULL, "disk full"},
    {B_SERVER_LOST, "database server lost"},
    {B_KEY_BUFFER_TOO_SHORT, "key buffer too short"},
    {B_DATA_BUFFER_TOO_SHORT, "data buffer too short"},
    {B_PAGE_SIZE_ERROR, "page size error"},
    {B_CREATE_IO_ERROR, "create I/O error"},
    {B_INVALID_NUMBER_OF_KEYS, "invalid number of keys"},
    {B_INVALID_KEY_POSITION, "invalid key position"},
    {B_INVALID_RECORD_LENGTH, "invalid record length"},
    {B_INVALID_KEY_LENGTH, "invalid key length"},
    {B_NOT_A_DATA_FILE, "not a data file"},
    {B_DIRECTORY_ERROR, "directory error"},
    {B_TRANSACTION_ACTIVE, "transaction already active"},
    {B_NO_TRANSACTION, "no transaction"},
    {B_OPERATION_NOT_ALLOWED, "operation not allowed"},
    {B_INVALID_RECORD_ADDRESS, "invalid record address"},
    {B_NULL_KEY_PATH, "record left out of that key"},
    {B_INCONSISTENT_KEY_FLAGS, "inconsistent key flags"},
    {B_ACCESS_DENIED, "access denied"},
    {B_INVALID_COLLATING_SEQUENCE, "invalid collating sequence"},
    {B_KEY_TYPE_ERROR, "key type error"},
    {B_OWNER_ALREADY_SET, "owner already set"},
    {B_INVALID_OWNER, "invalid owner name"},
    {B_FILE_ALREADY_EXISTS, "file already exists"},
    {B_REJECT_COUNT_REACHED, "reject count reached"},
    {B_INCORRECT_DESCRIPTOR, "incorrect descriptor"},
    {B_INVALID_INSERT_BUFFER, "invalid Insert Extended buffer"},
    {B_FILTER_LIMIT_REACHED, "filter limit reached"},
    {B_FIELD_OUTSIDE_RECORD, "extracted field outside the record"},
    {B_CONFLICT, "conflict"},
    {B_LOCK_ERROR, "lock error"},
    {B_DEADLOCK, "deadlock"},
    {B_RECORD_IN_USE, "record in use"},
    {B_FILE_IN_USE, "file in use"},
    {B_INCOMPATIBLE_MODE, "incompatible open mode"},
    {B_INCOMPATIBLE_LOCK, "incompatible lock"},
    {B_DATA_BUFFER_TOO_SMALL, "data buffer too small for the answer"},
};

}  // namespace

extern "C" BTR_EXPORT const char* BTR_CALLCONV BTRSTATUSTEXT(int16_t status) {
    for (const StatusWords& entry : kStatusWords)
        if (entry.status == status) return entry.words;
    return "unknown status";
}

extern "C" BTR_EXPORT uint32_t BTR_CALLCONV BTRSERVERMESSAGE(char* message, uint32_t messageLength) {
    const std::string& held = wbtrv::serverMessage();
    wbtrv::writeBoundedText(held, message, messageLength);
    return static_cast<uint32_t>(held.size());
}

// WBTRV32_VERSION comes from the build, the same number as the SONAME's.
extern "C" BTR_EXPORT const char* BTR_CALLCONV BTRVERSION(void) { return WBTRV32_VERSION; }
