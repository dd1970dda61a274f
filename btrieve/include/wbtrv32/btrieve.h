/* Public interface of the wbtrv32 record manager.
 *
 * One entry point, BTRCALL, with the published calling signature: every
 * operation on a data file goes through it and answers with a status code
 * (0 is success). Each data file is kept as an SQLite database in its
 * folder, or on a PostgreSQL server that the environment's WBTRV32_SERVER
 * or the folder's file wbtrv32.server names. The PostgreSQL client library
 * (libpq.so.5) is loaded the first time a server is named: a program working
 * on files in folders never loads it.
 *
 *   int16_t BTRCALL(operation, positionBlock, dataBuffer, &dataLength, keyBuffer, keyLength, keyNumber);
 *
 * positionBlock  BTR_POSITION_BLOCK_SIZE bytes the caller owns and leaves in place from Open to Close;
 *                it holds no pointers, and a block the library did not set up gets B_FILE_NOT_OPEN.
 * dataBuffer     record bytes in and out; dataLength holds its capacity on the way in and the number
 *                of bytes returned on the way out.
 * keyBuffer      a key value or a file name; keyLength is its capacity, never read past.
 * keyNumber      the key a Get follows (0 = first key), or the mode of an Open.
 *
 * Apart from BTRCALL the library exports BTRVERIFY, BTRSTATUSTEXT, BTRSERVERMESSAGE, BTRVERSION and
 * BTRJOURNAL (below).
 * Link with `pkg-config --cflags --libs wbtrv32` or CMake's find_package(wbtrv32). */
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

/* Operations: what goes in, what comes back, and every status each answers besides 0. "Current record" is
 * the one the block last read or wrote. Every operation on a position block answers 3 for a block the
 * library did not set up (or one closed since), and any operation 18 when memory runs out. 20 comes
 * only from a file kept on a database server; 2 also means a stored record found damaged.
 * Every Get returns the record in the data buffer (dataLength set to the record length; a smaller
 * buffer gets B_DATA_BUFFER_TOO_SHORT and the position does not move) and its key value in the key
 * buffer (a smaller key buffer gets B_KEY_BUFFER_TOO_SHORT). Every Get answers 6 for a key number the
 * file has not, 41 for a key this record manager cannot order (made elsewhere), 21, 22, 2 and 20; a Get,
 * Step or Get Direct with a lock bias (below) also 84, 78, 93, and 46 on a file this process may not
 * write. A write waits up to 5 seconds for another process's write to the same file, then answers 85; on a
 * server, a write inside a transaction whose wait closes a circle of such waits across files answers 78 as
 * soon as the server sees the circle (its deadlock_timeout, a second by default). */
enum {
    B_OPEN = 0,                 /* key buffer: zero-terminated file name; keyNumber: open mode (below); data buffer:
                                   the owner name, zero-terminated (dataLength 0 or a first byte 0: none), which a
                                   file without an owner ignores. Fills the position block. 51 a file with an owner
                                   opened with a wrong name, or without it at B_OWNER_NO_ACCESS (at B_OWNER_READ_ONLY
                                   it opens read-only). 11 no name within the key length, 88 bad mode, 12 missing,
                                   30 not a data file (also, at once and unopened, a FIFO, device or socket), 46
                                   not readable, 85 open exclusively here or elsewhere, or its name still held by a
                                   file renamed away that this or another process has open, 41 the block is open
                                   on a file the open transaction changed, 2, 18 (also a disk too full for the
                                   file's shared memory), 20. Connecting to a server also answers 46, 35 and 85
                                   (see those statuses), and 46 in a folder whose wbtrv32.server is not trusted */
    B_CLOSE = 1,                /* ends the use of the position block; other buffers unused. 41 the open
                                   transaction changed the file */
    B_INSERT = 2,               /* data buffer: the record, dataLength exactly the record length (22 shorter, 28
                                   longer). An autoincrement key holding 0 gets the highest value plus 1, written back
                                   into the data buffer; the key of keyNumber comes back in the key buffer. 46
                                   read-only block or file, 41 a key this record manager cannot write (made
                                   elsewhere), 6 no key keyNumber, 21 key buffer too short, 5 duplicate (or no
                                   autoincrement value left), 85, 78, 2, 18, 20 */
    B_UPDATE = 3,               /* data buffer: the new bytes of the current record, length as Insert. In this
                                   order: 46 read-only block or file, 41 as Insert, 22 and 28 as Insert, 8 no
                                   current record, 84 another process holds the record, 80 changed elsewhere since
                                   read, 10 fixed key changed, 5 duplicate; 85, 78, 2, 18, 20 */
    B_DELETE = 4,               /* removes the current record; afterwards Next/Previous move from where it stood.
                                   46, 41, 8, 84, 80, 85, 78, 2, 18 and 20 as Update */
    B_GET_EQUAL = 5,            /* key buffer: a value of key keyNumber (at least the key's length). 4 not found,
                                   the position stays */
    B_GET_NEXT = 6,             /* the next record along the key of the last Get. 9 at the end, 8 nothing read yet,
                                   7 keyNumber differs from the last Get's */
    B_GET_PREVIOUS = 7,         /* the previous record, statuses as Get Next */
    B_GET_GREATER = 8,          /* key buffer: a value; the first record above it in key order. 9 none */
    B_GET_GREATER_OR_EQUAL = 9, /* the first record with the value or above it. 9 none */
    B_GET_LESS = 10,            /* the last record below the value in key order. 9 none */
    B_GET_LESS_OR_EQUAL = 11,   /* the last record with the value (its last duplicate) or below it. 9 none */
    B_GET_FIRST = 12,           /* the first record in the order of key keyNumber. 9 empty file */
    B_GET_LAST = 13,            /* the last record, statuses as Get First */
    B_CREATE = 14,              /* key buffer: file name; data buffer: the file's entry, the key entries and the
                                   collating sequences (layout below). keyNumber -1 refuses an existing file with
                                   59, otherwise it is replaced (85 while open here or elsewhere). 11 no name, 22
                                   a buffer shorter than the file's entry, 24-29, 45, 48 and 49 name what is
                                   wrong; 25 the file could not be made, 30 the name is a FIFO, device or socket,
                                   46 this user (or the server's role) may not make it there, 18, 20; on a server
                                   also 35 and 85 as Open */
    B_STAT = 15,                /* data buffer receives the Create layout of the open file, with the record count
                                   in the file entry's 4 unused bytes (offset 6), and, when the file has an owner
                                   name, 1 at offset 12 and the access code at 13 (0 and 0 otherwise). Each key entry
                                   gives its key's number (byte 14); numbers a dropped key left free have none.
                                   22 buffer too short, 2, 20 */
    B_SET_DIRECTORY = 17,       /* key buffer: a path, zero-terminated within keyLength, relative paths from the
                                   current directory. It becomes this process's current directory of the record
                                   manager (the process's working directory, which it is until then, does not
                                   change): relative file names of Open, Create and BTRVERIFY resolve against it.
                                   Stop and Reset keep it. No position block or data buffer. 11 no path, 35 not a
                                   directory that can be used (nothing changes) */
    B_GET_DIRECTORY = 18,       /* key buffer receives the current directory, absolute and zero-terminated;
                                   keyNumber is ignored. 21 keyLength too short for it and its zero (nothing
                                   written), 35 the working directory cannot be named */
    B_BEGIN_TRANSACTION = 19,   /* begins this process's transaction over all its files. 37 already in one */
    B_END_TRANSACTION = 20,     /* commits every write since Begin; each changed file was held against
                                   other writers until now. The files on a server commit together, in one
                                   commit of the server's, before the files in folders, each of which commits on
                                   its own. 39 no transaction; 2, 18 or 20 a commit that failed: its writes and
                                   those of the commits after it are undone (after a 20 the server's commit may
                                   or may not have happened, for all its files alike) */
    B_ABORT_TRANSACTION = 21,   /* undoes every write since Begin. 39 no transaction */
    B_GET_POSITION = 22,        /* data buffer receives the current record's 4-byte position (high word first).
                                   8 no current record, 22 buffer shorter than 4 bytes */
    B_GET_DIRECT = 23,          /* data buffer: a position from Get Position; reads that record and, unless keyNumber
                                   is -1, sets the position along key keyNumber on it. 43 no such record, 44 the
                                   record is left out of that null key, 22 (the position is set all the same), and
                                   for a key number 6, 41 and 21 as a Get; 2, 20 */
    B_STEP_NEXT = 24,           /* the record after the current one in physical order; the first after Open. 9 at
                                   the end, 22, 2, 20. Steps follow no key: Get Next/Previous after them get 8 */
    B_STOP = 25,    /* aborts the transaction, closes every file of this process and forgets every position */
    B_VERSION = 26, /* data buffer receives 5 bytes: version (2), revision (2), platform letter. 22 */
    B_UNLOCK = 27,  /* keyNumber >= 0: the block's single lock; -1: the multiple lock on the position in
                       the data buffer (22 shorter than 4 bytes); -2: all multiple locks. 81 a lock the
                       block does not hold */
    B_RESET = 28,   /* the same as Stop; the next Open starts afresh */
    /* Set Owner, Clear Owner, Create Index and Drop Index change the file itself: each needs the block to be the
       only one on the file (85 while another block of this process or another process has it open) and is
       refused inside a transaction (41) and through a read-only block (46). */
    B_SET_OWNER = 29,     /* key buffer and data buffer: the same owner name, zero-terminated (dataLength its length +
                             1); keyNumber: the access code (below) an Open without the name gets. The file keeps only
                             a salted SHA-256 hash of the name. After 41 and 46: 41 a code not 0-3, 50 the file
                             already has an owner, 51 the names differ, are empty, all blanks or longer than 8 bytes;
                             then 85, 2, 18, 20 */
    B_CLEAR_OWNER = 30,   /* removes the owner name and its restriction, through a block opened with the name or the
                             one that set it. After 41: 0 on a file without one, 51 through another block, 46, 85, 2,
                             18, 20. Blocks keep the access they had */
    B_CREATE_INDEX = 31,  /* data buffer: the new key's entries, one per segment as in Create, then its collating
                             sequence if it uses one. keyNumber with 0x80 set (negative): the key takes the number in
                             byte 14 of its entries; else the lowest number no key has. The key is filled for every
                             record in the file and carries B_KEY_SUPPLEMENTAL. After 41 and 46: 41 a file with keys
                             made elsewhere, 26 the file has 119 keys, 22 entries cut short, 27, 29, 45, 48, 49 as
                             Create, 6 the number taken or above 118, 85, 5 records repeat a value of a key without
                             duplicates and 41 a value the key cannot hold (nothing added either way), 2, 18, 20 */
    B_DROP_INDEX = 32,    /* drops key keyNumber & 0x7F (any key); the keys above it move down one number, unless 0x80
                             is set (negative): then every number stays and the dropped one is free. The block's key
                             position ends (Get Next/Previous: 8). After 41 and 46: 6 no such key, 41 the file's only
                             key, 85, 2, 18, 20 */
    B_STEP_FIRST = 33,    /* the first record in physical order. 9 empty file; statuses as Step Next */
    B_STEP_LAST = 34,     /* the last record in physical order; statuses as Step First */
    B_STEP_PREVIOUS = 35, /* the record before the current one in physical order; statuses as Step Next */
    /* The extended reads examine records in turn, keep those that pass a filter and return chosen fields of
       each, in one call. Data buffer in: the request (below); out: the answer; dataLength holds the larger of
       the two going in and the bytes of the answer coming back. The last record examined, kept or rejected,
       becomes the position; Update and Delete right after get 8. Statuses: 0 the records asked were found,
       9 the end of the key or file came first (the answer holds those found, perhaps none), 60 the reject
       count was reached (the call stops right after that rejected record; those found), 62 a wrong
       descriptor, 65 an extracted field outside the record, 97 a data length too short for the answer of
       every record asked (checked before any record is read), and with a lock bias the lock statuses of a
       Get. Any status but 0, 9 and 60 leaves the position and the locks as they were and answers no
       count and no data length; one met after records were read (2, 20, a lock's) may have written over
       the buffer past its first two bytes, the refusals of the request (62, 65, 97, 8, 7, 6) never do.
       +100/+200 lock the last record returned, +300/+400 every record returned (multiple locks). */
    B_GET_NEXT_EXTENDED = 36,      /* along keyNumber from the position of an earlier Get on that key, forward; the key
                                      value of the last record examined comes back in the key buffer. 8 no key
                                      position (nothing read since Open, or the last read was physical), 7 along
                                      another key, 6 no such key, 41 and 21 as a Get */
    B_GET_PREVIOUS_EXTENDED = 37,  /* as 36, backward */
    B_STEP_NEXT_EXTENDED = 38,     /* in physical order, forward, from the current record (right after Open: the first
                                      record); the key buffer is left alone; Get Next/Previous afterwards get 8 */
    B_STEP_PREVIOUS_EXTENDED = 39, /* as 38, backward (right after Open: the last record) */
    B_INSERT_EXTENDED = 40, /* data buffer: a record count (2), then per record its length (2) and bytes, each of the
                               file's record length. Inserts them in order, as Insert would one by one (autoincrement
                               values given, not written back), and answers the count inserted (2) and each one's
                               position (4), dataLength 2 + 4 x count. The key of keyNumber of the last record
                               inserted comes back in the key buffer and that record becomes current. A record that
                               fails stops the call with its status (5, 84 ...): the records before it stay inserted
                               and the count says how many. 63 a count of 0, a record of another length or records
                               past dataLength (nothing inserted); 46, 41, 6 and 21 as Insert */
    /* Percentages run from 0 (the first record) to 10,000 (the last), two implied decimals; N is the number of
       records along the key (records left out of a null key not counted) or, for key number -1, in the file. */
    B_GET_BY_PERCENTAGE = 44, /* data buffer: the percentage (first 2 bytes; above 10,000 counts as 10,000); dataLength
                                 at least the record length and 4. keyNumber: a key, or -1 for physical order. Reads
                                 the record of rank round(p x (N - 1) / 10,000), 0 the first, as a Get reads: record,
                                 key value (none for -1), and the position along the key or, for -1, physical (Get
                                 Next/Previous then get 8). Lock biases as a Get. 9 no records, 22, and for a key as
                                 a Get: 6, 41, 21 */
    B_FIND_PERCENTAGE = 45,   /* where a record stands: along key keyNumber, the first record of the key buffer's
                                 value (the data buffer is not read); for -1, the record at the position in the data
                                 buffer's first 4 bytes (the key buffer is not read). The data buffer receives
                                 round(r x 10,000 / (N - 1)) for rank r (0 when N is 1) as 4 bytes, dataLength 4; the
                                 position does not move. 4 no record holds the value, 43 no record at the position,
                                 22 dataLength below 4, and for a key 6, 41, 21 */
    B_BEGIN_CONCURRENT_TRANSACTION = 1019 /* as Begin */
};

/* The request of an extended read (36-39), numbers little-endian:
 *   header     buffer length (2): the request's own bytes, at most dataLength; "UC" (begin with the current
 *              record) or "EG" (with the one after it, before it for 37 and 39), not zero-terminated
 *   filter     maximum reject count (2; 0 means 4,095), number of terms (2; 0: every record passes), then per
 *              term: field type (1, a key type), field length (2), field offset (2), comparison (1), connector
 *              (1: B_CONNECT_LAST, AND or OR), then the value (field length bytes) or, with
 *              B_COMPARE_OTHER_FIELD, the offset (2) of a second field of the same type and length
 *   extractor  number of records to return (2), number of fields per record (2), then per field its length (2)
 *              and offset (2); a whole record is one field of offset 0 and the record length
 * Any field may be used, not only keys; it compares, on the left, in its type's key order. The connectors
 * chain strictly left to right: a true term followed by OR accepts the record, a false one followed by AND
 * rejects it, otherwise the next term decides (A AND B OR C is A AND (B OR C)).
 * The answer: the number of records (2), then per record the length of its extracted data (2), its 4-byte
 * position (as Get Position) and the extracted fields in order. */
enum {
    B_COMPARE_EQUAL = 1,
    B_COMPARE_GREATER = 2,
    B_COMPARE_LESS = 3,
    B_COMPARE_NOT_EQUAL = 4,
    B_COMPARE_GREATER_OR_EQUAL = 5,
    B_COMPARE_LESS_OR_EQUAL = 6,
    B_COMPARE_COLLATED = 32,    /* string types: through the collating sequence of the lowest-numbered key that has
                                   one (a file without one: 62); with B_COMPARE_NO_CASE too, the sequence decides */
    B_COMPARE_OTHER_FIELD = 64, /* with the field at the offset the term gives instead of a value */
    B_COMPARE_NO_CASE = 128     /* string types: a-z compare as A-Z */
};
enum { B_CONNECT_LAST = 0, B_CONNECT_AND = 1, B_CONNECT_OR = 2 };

/* Added to a Get (5-13): read the key value only, into the key buffer; the data buffer and length are
 * untouched. Next/Previous then pass the value's duplicates; Update or Delete right after get 8. */
#define B_GET_KEY_BIAS 50
/* Added to a Get, Step, Get Direct or extended read (36-39): lock the record read. Single locks are
 * released by the next single-lock read, Update, Delete or Unlock; multiple
 * locks by Delete or Unlock. A wait lock waits up to a second, then answers 84;
 * one that would wait for a process waiting for this one answers 78 at once. */
#define B_SINGLE_WAIT_LOCK 100
#define B_SINGLE_NOWAIT_LOCK 200
#define B_MULTIPLE_WAIT_LOCK 300
#define B_MULTIPLE_NOWAIT_LOCK 400

/* Open modes, passed in the key number of an Open. A file this process may not write opens read-only. */
enum {
    B_MODE_NORMAL = 0,       /* read and write, shared with other blocks and processes */
    B_MODE_ACCELERATED = -1, /* treated as normal */
    B_MODE_READ_ONLY = -2,   /* writes get 46 */
    B_MODE_VERIFY = -3,      /* treated as normal */
    B_MODE_EXCLUSIVE = -4    /* no other open of the file, in this process or another, while it lasts */
};

/* Access codes of Set Owner, passed in the key number: what an Open without the owner name may do. The
 * encrypting codes are accepted and give the access of the others; nothing is encrypted. */
enum {
    B_OWNER_NO_ACCESS = 0,           /* the file does not open without the name (51) */
    B_OWNER_READ_ONLY = 1,           /* the file opens read-only without the name */
    B_OWNER_NO_ACCESS_ENCRYPTED = 2, /* as B_OWNER_NO_ACCESS */
    B_OWNER_READ_ONLY_ENCRYPTED = 3  /* as B_OWNER_READ_ONLY */
};

/* Status codes; BTRSTATUSTEXT gives the same words. */
enum {
    B_NO_ERROR = 0,                    /* success */
    B_INVALID_OPERATION = 1,           /* the operation code is not one of the above */
    B_IO_ERROR = 2,                    /* the file could not be read or written, or is damaged */
    B_FILE_NOT_OPEN = 3,               /* the position block is not one the library opened */
    B_KEY_VALUE_NOT_FOUND = 4,         /* no record has the key value of a Get Equal */
    B_DUPLICATE_KEY_VALUE = 5,         /* the record repeats the value of a key without duplicates */
    B_INVALID_KEY_NUMBER = 6,          /* the file has no key of that number */
    B_DIFFERENT_KEY_NUMBER = 7,        /* Get Next or Previous along another key than the last Get */
    B_INVALID_POSITIONING = 8,         /* no current record for Update, Delete, Next or Previous */
    B_END_OF_FILE = 9,                 /* no record further along the key, or the file is empty */
    B_MODIFIABLE_KEY_VALUE_ERROR = 10, /* an Update changes a key that is not modifiable */
    B_INVALID_FILE_NAME = 11,          /* the key buffer holds no zero-terminated, non-empty name */
    B_FILE_NOT_FOUND = 12,             /* no file of that name */
    B_DISK_FULL = 18,                  /* the disk or memory ran out; nothing was written */
    B_SERVER_LOST = 20,                /* the data file's database server cannot be reached (also when libpq cannot
                                          be loaded), or the connection to it
                                          broke, or a round trip to it passed its deadline (15 s, or
                                          WBTRV32_SERVER_DEADLINE_MS, at least 6 s) and the connection was dropped:
                                          its open transaction is undone (a write whose commit was under way may
                                          have been kept). Close the file's blocks (Reset closes all) and Open
                                          again once the server is back */
    B_KEY_BUFFER_TOO_SHORT = 21,       /* the key buffer is shorter than the key */
    B_DATA_BUFFER_TOO_SHORT = 22,      /* the data buffer is shorter than the record or Stat's answer */
    B_PAGE_SIZE_ERROR = 24,            /* Create: page size not a multiple of 512 from 512 to 16384 */
    B_CREATE_IO_ERROR = 25,            /* Create: the file could not be written */
    B_INVALID_NUMBER_OF_KEYS = 26,     /* Create: not 1 to 119 keys */
    B_INVALID_KEY_POSITION = 27,       /* Create: a key lies outside the record */
    B_INVALID_RECORD_LENGTH = 28,      /* Create: not 4 to 65535 bytes; Insert/Update: data too long */
    B_INVALID_KEY_LENGTH = 29,         /* Create: a key length its type does not allow */
    B_NOT_A_DATA_FILE = 30,            /* the file is not a data file of this record manager */
    B_DIRECTORY_ERROR = 35,            /* Set Directory: the path is not a directory that can be used. Open, Create
                                          and verify on a server (the nearest status there is): the server has no
                                          database of the name the connection string gives, or libpq cannot read
                                          the connection string (an unknown keyword, bad syntax) */
    B_TRANSACTION_ACTIVE = 37,         /* Begin inside a transaction */
    B_NO_TRANSACTION = 39,             /* End or Abort without a transaction */
    B_OPERATION_NOT_ALLOWED = 41,      /* a write to, or a Get along, a key column made elsewhere that is not
                                          ordered the way this record manager stores keys; Close of a file the
                                          open transaction changed; a change to the file itself inside a
                                          transaction, Set Owner with an access code not 0-3, Drop Index of a
                                          file's only key */
    B_INVALID_RECORD_ADDRESS = 43,     /* Get Direct: no record at that position */
    B_NULL_KEY_PATH = 44,              /* Get Direct: the record is left out of that null key */
    B_INCONSISTENT_KEY_FLAGS = 45,     /* Create: key flags that do not fit together */
    B_ACCESS_DENIED = 46,              /* a write through a read-only block or to a file not writable; a file
                                          not readable; anything the server refuses the role (BTRSERVERMESSAGE
                                          says what). Open, Create and verify on a server: it refuses the login (a
                                          wrong or missing password, an unknown role, a role it does not admit
                                          there); in a folder whose wbtrv32.server is not trusted (not a regular
                                          file of at most 512 bytes owned by the user or root and writable by
                                          nobody else, or one naming where credentials go), nothing being
                                          connected to */
    B_INVALID_COLLATING_SEQUENCE = 48, /* Create: a collating sequence missing or without its 0xAC mark */
    B_KEY_TYPE_ERROR = 49,             /* Create: a key type not supported (note, lvar, bit, unknown), or an
                                          autoincrement key that is not one ascending unique segment */
    B_OWNER_ALREADY_SET = 50,          /* Set Owner on a file that has an owner name */
    B_INVALID_OWNER = 51,              /* an owner name that is wrong, missing where the file asks for it, or not
                                          1-8 bytes (not all blanks); Clear Owner through a block opened without
                                          the name */
    B_FILE_ALREADY_EXISTS = 59,        /* Create with key number -1 on an existing file */
    B_REJECT_COUNT_REACHED = 60,       /* an extended read stopped at its maximum reject count */
    B_INCORRECT_DESCRIPTOR = 62,       /* the request of an extended read is wrong: its length below its own bytes or
                                          above dataLength, letters other than UC or EG, no record or no field asked,
                                          a term of an unknown type, of a length its type does not allow (as Create)
                                          or outside the record, a comparison not 1-6 (or with +8), a connector not
                                          0-2, a last term's not 0 or an earlier term's 0, B_COMPARE_COLLATED or
                                          B_COMPARE_NO_CASE on a type other than string, lstring or zstring, a field
                                          of length 0, or more than 65,535 bytes extracted per record */
    B_INVALID_INSERT_BUFFER = 63,      /* Insert Extended: a count of 0, a record of another length than the file's,
                                          or records that run past dataLength; nothing is inserted */
    B_FILTER_LIMIT_REACHED = 64,       /* never returned by this record manager */
    B_FIELD_OUTSIDE_RECORD = 65,       /* an extended read extracts a field outside the record */
    B_DEADLOCK = 78,                   /* a wait lock whose holder waits, directly or not, for a record this
                                          process holds; on a server also a write in a transaction whose wait
                                          for a file closes a circle of waits across files */
    B_CONFLICT = 80,                   /* the record changed elsewhere since this block read it */
    B_LOCK_ERROR = 81,                 /* Unlock of a lock the block does not hold */
    B_RECORD_IN_USE = 84,              /* the record is locked by another process */
    B_FILE_IN_USE = 85,                /* the file is open exclusively, or locked by another process. Open, Create
                                          and verify on a server (the nearest status there is): it has no
                                          connection left, for the role or at all; try again later */
    B_INCOMPATIBLE_MODE = 88,          /* Open with a mode not listed above */
    B_INCOMPATIBLE_LOCK = 93,          /* single and multiple locks mixed in one block */
    B_DATA_BUFFER_TOO_SMALL = 97       /* an extended read's data length cannot hold the answer of every record asked:
                                          2 + records x (6 + extracted length) */
};

/* Key flags of a key entry in the Create and Stat buffers. */
enum {
    B_KEY_DUPLICATES = 0x0001,    /* several records may share a value */
    B_KEY_MODIFIABLE = 0x0002,    /* Update may change the value */
    B_KEY_BINARY = 0x0004,        /* without B_KEY_EXTENDED_TYPE: an unsigned binary key */
    B_KEY_NULL_ALL = 0x0008,      /* records whose every segment holds the null value are left out of the key */
    B_KEY_SEGMENTED = 0x0010,     /* another segment of the same key follows in the next key entry */
    B_KEY_ALT_COLLATING = 0x0020, /* string bytes sort through the collating sequence the segment names */
    B_KEY_DESCENDING = 0x0040,    /* this segment sorts high to low */
    B_KEY_SUPPLEMENTAL = 0x0080,  /* a key Create Index added; kept as given on Create */
    B_KEY_EXTENDED_TYPE = 0x0100, /* the key's type byte is meaningful */
    B_KEY_NULL_ANY = 0x0200,      /* records with any segment holding the null value are left out of the key */
    B_KEY_NOCASE = 0x0400         /* string segment compared with a-z folded to A-Z */
};

/* Key types; numbers little-endian. Create accepts every type but note, lvar and bit (49). A key is at
 * most 255 bytes in one or more segments; duplicates, modifiable and null flags are the same on all
 * its segments, case-insensitive and collating sequences only on string, lstring and zstring (45). */
enum {
    B_TYPE_STRING = 0,
    B_TYPE_INTEGER = 1, /* signed, 1, 2, 4 or 8 bytes */
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
    B_TYPE_UNSIGNED_BINARY = 14, /* unsigned, 1, 2, 4 or 8 bytes */
    B_TYPE_AUTOINCREMENT = 15,   /* signed, 2 or 4 bytes, unique; 0 on Insert takes the next value */
    B_TYPE_BIT = 16,
    B_TYPE_NUMERIC_STS = 17
};

/* The Create and Stat buffer: the file's entry of BTR_FILE_ENTRY_SIZE bytes (record length 2, page
 * size 2, number of keys 2, unused 4, file flags 2, reserved 4), then one key entry of
 * BTR_KEY_ENTRY_SIZE bytes per key segment (position from 1: 2, length 2, flags 2, unused 4, type 1,
 * null value 1, reserved 2, key number 1, collating sequence 1), then the collating sequences the
 * segments number, BTR_COLLATING_SEQUENCE_SIZE bytes each. Numbers are little-endian. */
#define BTR_FILE_ENTRY_SIZE 16
#define BTR_KEY_ENTRY_SIZE 16
/* Deprecated names of the same sizes, kept until the next major version; a compiler that
 * knows the pragma warns where they are used. */
#if defined(__GNUC__)
#define BTR_FILE_SPEC_SIZE \
    _Pragma("GCC warning \"BTR_FILE_SPEC_SIZE is deprecated: use BTR_FILE_ENTRY_SIZE\"") BTR_FILE_ENTRY_SIZE
#define BTR_KEY_SPEC_SIZE \
    _Pragma("GCC warning \"BTR_KEY_SPEC_SIZE is deprecated: use BTR_KEY_ENTRY_SIZE\"") BTR_KEY_ENTRY_SIZE
#else
#define BTR_FILE_SPEC_SIZE BTR_FILE_ENTRY_SIZE
#define BTR_KEY_SPEC_SIZE BTR_KEY_ENTRY_SIZE
#endif
/* An alternate collating sequence: 0xAC, an 8-byte name, a 256-byte table. */
#define BTR_COLLATING_SEQUENCE_SIZE 265
#define BTR_COLLATING_SEQUENCE_MARK 0xAC

/* Performs one record-manager operation; returns the status, 0 on success. */
BTR_EXPORT int16_t BTR_CALLCONV BTRCALL(uint16_t operation, void* positionBlock, void* dataBuffer, uint32_t* dataLength,
                                        void* keyBuffer, uint8_t keyLength, int8_t keyNumber);

/* Verifies a closed or open data file (storage integrity, every record of the file's record length,
 * every key column agreeing with the record bytes). Returns 0 when the file is sound, otherwise a
 * status (11 no name, 12 missing, 30 not ours, 2 damaged, 46 not readable, 85 held by another process,
 * 20 the server lost) and a zero-terminated explanation in message, cut to messageLength bytes. */
BTR_EXPORT int16_t BTR_CALLCONV BTRVERIFY(const char* fileName, char* message, uint32_t messageLength);

/* The words of a status, such as "file not found" for 12; "unknown status" for a code not listed
 * above. The text is static: never freed, never null. */
BTR_EXPORT const char* BTR_CALLCONV BTRSTATUSTEXT(int16_t status);

/* The database server's own words on why the last BTRCALL, BTRVERIFY or BTRJOURNAL of this thread
 * failed there, such as "permission denied for table wbtrv_files" beside status 46: written
 * zero-terminated into message, cut to messageLength bytes (nothing is written when messageLength is
 * 0). Empty when that call succeeded, concerned files in a folder, or failed for a reason of the
 * record manager's own; when libpq cannot be loaded, or the server does not answer a connection in
 * time, it says so ("the PostgreSQL client library libpq.so.5 cannot be loaded: " and the loader's
 * reason; "the server did not answer in time"). Never holds a password. Each thread has
 * its own, as it has its own errno; calling this changes nothing. Returns the length of the whole
 * message, without its zero, so a caller whose buffer was too short knows it (0: no message). New in
 * library version 1.2.0. */
BTR_EXPORT uint32_t BTR_CALLCONV BTRSERVERMESSAGE(char* message, uint32_t messageLength);

/* The library's version, "MAJOR.MINOR.PATCH"; MAJOR is the number in the library's SONAME. */
BTR_EXPORT const char* BTR_CALLCONV BTRVERSION(void);

/* The journal of changes. Every Insert, Update and Delete that a data file's transaction commits is
 * recorded in the file's journal in the same commit (an aborted or killed transaction leaves no entry),
 * while the journal is on: each entry has a sequence number increasing per file, the time, who made
 * the change, the operation, the record's position and the record's bytes before and after. A file
 * keeps its journal with its data (on a server, in tables beside its own), so a copy of the file
 * carries it. Files this version creates have the journal on; files of earlier versions have none
 * until it is switched on, and then only this version or a later one opens them.
 *
 *   int16_t BTRJOURNAL(command, fileName, request, requestLength, answer, &answerLength);
 *
 * fileName       the data file, zero-terminated, as Open takes it; it need not be open.
 * request        the command's request of requestLength bytes (at least the size the command names,
 *                else 22), or NULL for a command that takes none.
 * answer         receives the answer; answerLength holds its capacity on the way in and the bytes
 *                written on the way out (on 22: the bytes the answer needs).
 * Numbers are little-endian. Times are microseconds since 1970-01-01 00:00 UTC; on a file's own
 * sequence they never go back, an entry being given at least the time of the one before it.
 * Statuses: 0, 1 unknown command, 11 no name, 12 missing, 30 not a data file, 46 the file may not be
 * read (or, for a command that changes the journal, written), 22 request or answer too short, 2 the
 * journal cannot be read or written, 85 held by another process, 41 a command that changes the journal
 * inside this process's transaction, 18, 20. */
enum {
    BTR_JOURNAL_READ = 1,         /* request: a query (BTR_JOURNAL_QUERY_SIZE bytes, below); answer: the answer
                                     header, then whole entries, as many as fit and the query allows. A file
                                     without a journal answers no entries */
    BTR_JOURNAL_STATUS = 2,       /* no request; answer: BTR_JOURNAL_STATUS_SIZE bytes (below) */
    BTR_JOURNAL_ON = 3,           /* no request; switches the journal on. A file of an earlier version gets its
                                     journal, which needs the file to itself: 85 while another process has it
                                     open, or this one other than exclusively */
    BTR_JOURNAL_OFF = 4,          /* no request; switches it off: changes are no longer journaled, entries stay */
    BTR_JOURNAL_PRUNE_BEFORE = 5, /* request: a time (8 bytes); drops the entries made before it. Answer, if any
                                     (at least 8 bytes): the number of entries dropped (8 bytes) */
    BTR_JOURNAL_PRUNE_KEEP = 6    /* request: a count N (8 bytes); drops all but the newest N entries. Answer as
                                     BTR_JOURNAL_PRUNE_BEFORE */
};

/* The query of BTR_JOURNAL_READ: flags (2 bytes), reserved (2, zero), the most entries to answer (4;
 * 0 is as many as fit), a record position (8; with BTR_JOURNAL_ONE_RECORD only that record's
 * entries), since (8: the first sequence number included, or with BTR_JOURNAL_SINCE_TIME the first
 * time; 0 from the oldest), cursor (8: 0 to start at the newest, or with BTR_JOURNAL_OLDEST_FIRST at
 * the oldest; to go on, the `next` of the answer before). A record position is the number Get
 * Position's 4 bytes hold, high 16 bits first, each half little-endian. */
#define BTR_JOURNAL_QUERY_SIZE 32
#define BTR_JOURNAL_OLDEST_FIRST 0x0001 /* oldest entry first; otherwise newest first */
#define BTR_JOURNAL_ONE_RECORD 0x0002
#define BTR_JOURNAL_SINCE_TIME 0x0004

/* The answer of BTR_JOURNAL_READ: a header of BTR_JOURNAL_HEADER_SIZE bytes (entries in this answer:
 * 4, flags: 4, next: 8, the sequence number of the last entry in this answer, to pass as the cursor
 * of the next call), then the entries. An answer with BTR_JOURNAL_MORE stopped before the end of what
 * the query names; one without it is the last. 22 when the first entry does not fit: answerLength
 * then holds the bytes the header and that entry need. */
#define BTR_JOURNAL_HEADER_SIZE 16
#define BTR_JOURNAL_MORE 0x0001

/* An entry: a fixed part of BTR_JOURNAL_ENTRY_SIZE bytes (the entry's whole length: 4, operation: 2,
 * B_INSERT, B_UPDATE or B_DELETE, 0 when damaged beyond reading, flags: 2, sequence number: 8, time: 8,
 * record position: 8, lengths of user, host and program: 2 each, reserved: 2, lengths of the before
 * and after images: 4 each), then user, host, program, before and after image, back to back. Who:
 * on files the operating-system user, the host name and the program's name; on a server the login
 * role, the client's address (empty over a local socket) and the connection's application name, as
 * the server reports them. An Insert has no before image, a Delete no after image. An entry whose
 * stored fields are not what they should be (a damaged journal) is still given, with
 * BTR_JOURNAL_DAMAGED set and the fields that could not be trusted empty or zero; the data file and
 * its classic operations are not affected by it. */
#define BTR_JOURNAL_ENTRY_SIZE 48
#define BTR_JOURNAL_HAS_BEFORE 0x0001
#define BTR_JOURNAL_HAS_AFTER 0x0002
#define BTR_JOURNAL_DAMAGED 0x0004

/* The answer of BTR_JOURNAL_STATUS: flags (4: BTR_JOURNAL_KEPT, BTR_JOURNAL_IS_ON, and
 * BTR_JOURNAL_DAMAGED when the journal's tables are not as this record manager makes them: reads go
 * on, and every write to the file answers 2, since it could not be journaled), reserved (4), the
 * number of entries (8), the first and last sequence numbers (8 each) and the first and last
 * entries' times (8 each); zero without entries. The number of entries is that of the numbers from
 * the first to the last: exact on files, at most so many on a server, where a transaction undone
 * may leave a gap. The status reads a few index entries, never the whole journal. */
#define BTR_JOURNAL_STATUS_SIZE 48
#define BTR_JOURNAL_KEPT 0x0001
#define BTR_JOURNAL_IS_ON 0x0002

/* Runs one command on a data file's journal; returns the status, 0 on success. Takes no SQL, reads
 * no further than the lengths given and writes no further than answerLength. */
BTR_EXPORT int16_t BTR_CALLCONV BTRJOURNAL(uint16_t command, const char* fileName, const void* request,
                                           uint32_t requestLength, void* answer, uint32_t* answerLength);

#ifdef __cplusplus
}
#endif

#endif
