/* Public interface of the wbtrv32 record manager.
 *
 * One entry point, BTRCALL, with the published calling signature: every
 * operation on a data file goes through it and answers with a status code.
 * Each data file is kept as an SQLite database. */
#ifndef WBTRV32_BTRIEVE_H
#define WBTRV32_BTRIEVE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define BTR_CALLCONV __stdcall
#else
#define BTR_CALLCONV
#endif

#if defined(_WIN32)
#define BTR_EXPORT __declspec(dllexport)
#else
#define BTR_EXPORT __attribute__((visibility("default")))
#endif

/* Size of the caller-owned position block. */
#define BTR_POSITION_BLOCK_SIZE 128
/* Longest key buffer the record manager looks at. */
#define BTR_MAX_KEY_LENGTH 255

/* Operation codes. */
enum {
    B_OPEN = 0,
    B_CLOSE = 1,
    B_INSERT = 2,
    B_UPDATE = 3,
    B_DELETE = 4,
    B_GET_EQUAL = 5,
    B_GET_NEXT = 6,
    B_GET_PREVIOUS = 7,
    B_GET_FIRST = 12,
    B_GET_LAST = 13,
    B_CREATE = 14,
    B_STAT = 15,
    B_STOP = 25,
    B_RESET = 28
};

/* Open modes, passed in the key number of an Open. */
enum { B_MODE_NORMAL = 0, B_MODE_ACCELERATED = -1, B_MODE_READ_ONLY = -2, B_MODE_VERIFY = -3, B_MODE_EXCLUSIVE = -4 };

/* Status codes. */
enum {
    B_NO_ERROR = 0,
    B_INVALID_OPERATION = 1,
    B_IO_ERROR = 2,
    B_FILE_NOT_OPEN = 3,
    B_KEY_VALUE_NOT_FOUND = 4,
    B_DUPLICATE_KEY_VALUE = 5,
    B_INVALID_KEY_NUMBER = 6,
    B_DIFFERENT_KEY_NUMBER = 7,
    B_INVALID_POSITIONING = 8,
    B_END_OF_FILE = 9,
    B_MODIFIABLE_KEY_VALUE_ERROR = 10,
    B_INVALID_FILE_NAME = 11,
    B_FILE_NOT_FOUND = 12,
    B_DISK_FULL = 18,
    B_KEY_BUFFER_TOO_SHORT = 21,
    B_DATA_BUFFER_TOO_SHORT = 22,
    B_PAGE_SIZE_ERROR = 24,
    B_CREATE_IO_ERROR = 25,
    B_INVALID_NUMBER_OF_KEYS = 26,
    B_INVALID_KEY_POSITION = 27,
    B_INVALID_RECORD_LENGTH = 28,
    B_INVALID_KEY_LENGTH = 29,
    B_NOT_A_DATA_FILE = 30,
    B_OPERATION_NOT_ALLOWED = 41,
    B_INCONSISTENT_KEY_FLAGS = 45,
    B_ACCESS_DENIED = 46,
    B_INVALID_COLLATING_SEQUENCE = 48,
    B_KEY_TYPE_ERROR = 49,
    B_FILE_ALREADY_EXISTS = 59,
    B_CONFLICT = 80,
    B_RECORD_IN_USE = 84,
    B_FILE_IN_USE = 85,
    B_INCOMPATIBLE_MODE = 88
};

/* Key flags of a key specification in the Create buffer. */
enum {
    B_KEY_DUPLICATES = 0x0001,
    B_KEY_MODIFIABLE = 0x0002,
    B_KEY_BINARY = 0x0004,
    B_KEY_NULL_ALL = 0x0008,
    B_KEY_SEGMENTED = 0x0010,
    B_KEY_ALT_COLLATING = 0x0020,
    B_KEY_DESCENDING = 0x0040,
    B_KEY_SUPPLEMENTAL = 0x0080,
    B_KEY_EXTENDED_TYPE = 0x0100,
    B_KEY_NULL_ANY = 0x0200,
    B_KEY_NOCASE = 0x0400
};

/* Extended key types. */
enum {
    B_TYPE_STRING = 0,
    B_TYPE_INTEGER = 1,
    B_TYPE_FLOAT = 2,
    B_TYPE_DATE = 3,
    B_TYPE_TIME = 4,
    B_TYPE_DECIMAL = 5,
    B_TYPE_MONEY = 6,
    B_TYPE_LOGICAL = 7,
    B_TYPE_NUMERIC = 8,
    B_TYPE_BFLOAT = 9,
    B_TYPE_LSTRING = 10,
    B_TYPE_ZSTRING = 11,
    B_TYPE_NOTE = 12,
    B_TYPE_LVAR = 13,
    B_TYPE_UNSIGNED_BINARY = 14,
    B_TYPE_AUTOINCREMENT = 15,
    B_TYPE_BIT = 16,
    B_TYPE_NUMERIC_STS = 17
};

/* Sizes of the published Create buffer parts. */
#define BTR_FILE_SPEC_SIZE 16
#define BTR_KEY_SPEC_SIZE 16
/* An alternate collating sequence: 0xAC, an 8-byte name, a 256-byte table. */
#define BTR_COLLATING_SEQUENCE_SIZE 265
#define BTR_COLLATING_SEQUENCE_MARK 0xAC

/* Performs one record-manager operation; returns the status, 0 on success.
 * Stat (15) fills the data buffer with the file specification (the record count
 * in its 4 unused bytes), one key specification per key segment and then each
 * alternate collating sequence the keys use, numbered by byte 15 of a segment. */
BTR_EXPORT int16_t BTR_CALLCONV BTRCALL(uint16_t operation, void* positionBlock, void* dataBuffer, uint32_t* dataLength,
                                        void* keyBuffer, uint8_t keyLength, int8_t keyNumber);

/* Our own extension, not part of the published interface: verifies a closed or
 * open data file (storage integrity, every record of the file's record length,
 * every key column agreeing with the record bytes). Returns 0 when the file is
 * sound, otherwise a status (12 missing, 30 not ours, 2 damaged) and a
 * zero-terminated explanation in message, cut to messageLength bytes. */
BTR_EXPORT int16_t BTR_CALLCONV BTRVERIFY(const char* fileName, char* message, uint32_t messageLength);

#ifdef __cplusplus
}
#endif

#endif
