// A small C++ client of the record manager over its public C entry point, for
// our tools, tests and benchmarks: a data file handle that owns its position
// block and closes itself, typed calls that answer with the record manager's
// status (never an exception), and a status's words. Not part of the
// library's ABI: a static library beside it.
#pragma once

#include <wbtrv32/btrieve.h>
#include <wbtrv32/create_entries.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wbtrv::client {

using Status = std::int16_t;

// The library's words for a status: "file not found" for 12.
std::string_view statusWords(Status status);
// The status and its words: "12 (file not found)".
std::string describeStatus(Status status);
// The server's own words on why this thread's last call failed there
// (BTRSERVERMESSAGE): empty after a success and for files in a folder.
std::string serverMessage();

// BTRCALL's signature as a value, so that a caller may stand a wrapper between
// itself and the record manager (a test failing a chosen call).
using EntryPoint =
    std::function<Status(std::uint16_t operation, void* positionBlock, void* dataBuffer, std::uint32_t* dataLength,
                         void* keyBuffer, std::uint8_t keyLength, std::int8_t keyNumber)>;
// The record manager's own BTRCALL.
EntryPoint recordManager();

enum class OpenMode : std::int8_t {
    Normal = B_MODE_NORMAL,
    ReadOnly = B_MODE_READ_ONLY,
    Exclusive = B_MODE_EXCLUSIVE,
};

// What Create does with a file that exists.
enum class IfExists { Refuse, Replace };

// A Get along a key: from either end, or on from the record the handle stands on.
enum class Move : std::uint16_t {
    First = B_GET_FIRST,
    Last = B_GET_LAST,
    Next = B_GET_NEXT,
    Previous = B_GET_PREVIOUS,
};

// A Get that looks a key value up.
enum class Find : std::uint16_t {
    Equal = B_GET_EQUAL,
    Greater = B_GET_GREATER,
    GreaterOrEqual = B_GET_GREATER_OR_EQUAL,
    Less = B_GET_LESS,
    LessOrEqual = B_GET_LESS_OR_EQUAL,
};

// A Step in physical order.
enum class Step : std::uint16_t {
    First = B_STEP_FIRST,
    Last = B_STEP_LAST,
    Next = B_STEP_NEXT,
    Previous = B_STEP_PREVIOUS,
};

// The lock a read takes on the record it reads.
enum class Lock : std::uint16_t {
    None = 0,
    SingleWait = B_SINGLE_WAIT_LOCK,
    SingleNoWait = B_SINGLE_NOWAIT_LOCK,
    MultipleWait = B_MULTIPLE_WAIT_LOCK,
    MultipleNoWait = B_MULTIPLE_NOWAIT_LOCK,
};

// What an Open without the owner name may do, as Set Owner is told.
enum class OwnerAccess : std::int8_t {
    None = B_OWNER_NO_ACCESS,
    ReadOnly = B_OWNER_READ_ONLY,
    NoneEncrypted = B_OWNER_NO_ACCESS_ENCRYPTED,
    ReadOnlyEncrypted = B_OWNER_READ_ONLY_ENCRYPTED,
};

// A record's physical position, the bytes Get Position answers and Get Direct takes.
using Position = std::array<std::uint8_t, 4>;

// Which way an extended read goes: along a key (Get Next or Previous
// Extended) or in physical order (Step Next or Previous Extended).
enum class Direction { Next, Previous };

// How a term of an extended read's filter compares the record's field (on the left).
enum class Compare : std::uint8_t {
    Equal = B_COMPARE_EQUAL,
    Greater = B_COMPARE_GREATER,
    Less = B_COMPARE_LESS,
    NotEqual = B_COMPARE_NOT_EQUAL,
    GreaterOrEqual = B_COMPARE_GREATER_OR_EQUAL,
    LessOrEqual = B_COMPARE_LESS_OR_EQUAL,
};
// How a term joins the next, strictly left to right: A AND B OR C is A AND (B OR C).
enum class Connector : std::uint8_t { And = B_CONNECT_AND, Or = B_CONNECT_OR };

struct FilterTerm {
    std::uint8_t type = B_TYPE_STRING;  // a key type
    std::uint16_t offset = 0;
    std::uint16_t length = 0;
    Compare compare = Compare::Equal;
    bool noCase = false;                      // string types: a-z compare as A-Z
    bool collated = false;                    // string types: through the file's collating sequence
    std::vector<std::uint8_t> value;          // `length` bytes, unless otherField is set
    std::optional<std::uint16_t> otherField;  // compared with the field of the same type and length here
    Connector next = Connector::And;          // to the term after it; the last term's is not sent
};

struct ExtractedField {
    std::uint16_t offset = 0;
    std::uint16_t length = 0;
};

// What an extended read asks for: where it begins, the filter, how many
// records and which of their fields.
struct ExtendedRequest {
    bool fromCurrent = false;      // begin with the current record ("UC"), else with the one after it ("EG")
    std::uint16_t maxRejects = 0;  // records that may fail the filter in one call; 0: the default, 4,095
    std::vector<FilterTerm> terms;
    std::uint16_t records = 1;
    std::vector<ExtractedField> fields;

    // Up to `records` whole records of `recordLength` bytes, each after the current one.
    static ExtendedRequest wholeRecords(std::uint16_t recordLength, std::uint16_t records);
    // The request as the data buffer carries it.
    std::vector<std::uint8_t> descriptor() const;
    // Bytes of the answer when every record asked comes back.
    std::uint32_t answerLength() const;
};

// A record an extended read returned: its position and its extracted fields.
struct ExtendedRecord {
    Position position{};
    std::span<const std::uint8_t> bytes;  // valid until the handle's next call
};

// The longest record, and so the data a read may bring back.
inline constexpr std::uint32_t kMaxRecordLength = 65535;

// One data file through one position block. The block lives on the heap, so it
// stays where it was opened however the handle moves; the handle closes the
// file when it goes. Reads land in the handle's own buffer: record() shows the
// record the last successful read brought back, at the length the record
// manager gave, until the next call.
class File {
public:
    File();
    // Every call of the handle goes through entryPoint instead of BTRCALL.
    explicit File(EntryPoint entryPoint);
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Closes whatever the handle had open first. A name that does not fit the
    // key buffer with its zero gets 11 without a call. `owner`: the file's
    // owner name, for a file that has one.
    Status open(std::string_view name, OpenMode mode = OpenMode::Normal, std::string_view owner = {});
    Status close();
    // Forgets the open file without a call: Stop or Reset has closed it already.
    void release() { open_ = false; }
    bool isOpen() const { return open_; }
    // The name given to the last open.
    const std::string& name() const { return name_; }

    // The file's entry, keys and collating sequences, with its record count.
    Status stat(CreateEntries& entries);

    Status get(Move move, std::int8_t key, Lock lock = Lock::None);
    // value: the key value to look up, handed over at its own length (shorter than the key: 21).
    Status find(Find find, std::int8_t key, std::span<const std::uint8_t> value, Lock lock = Lock::None);
    Status step(Step step, Lock lock = Lock::None);
    Status getPosition(Position& position);
    // key -1 reads the record without taking a position along a key.
    Status getDirect(const Position& position, std::int8_t key, Lock lock = Lock::None);

    std::span<const std::uint8_t> record() const;
    // The key buffer: after a Get or an Insert it begins with the key's value.
    std::span<const std::uint8_t> keyBuffer() const;

    // An autoincrement key holding 0 gets its value, which comes back in record.
    Status insert(std::span<std::uint8_t> record, std::int8_t key = 0);
    // Replaces the record the handle stands on.
    Status update(std::span<const std::uint8_t> record, std::int8_t key = 0);
    // Deletes the record the handle stands on.
    Status remove();

    // Extended reads: along `key` from the position of an earlier Get on it,
    // or in physical order. `records` receives what came back, also with 9
    // (the end came first) and 60 (the reject count was reached).
    Status getExtended(Direction direction, std::int8_t key, const ExtendedRequest& request,
                       std::vector<ExtendedRecord>& records, Lock lock = Lock::None);
    Status stepExtended(Direction direction, const ExtendedRequest& request, std::vector<ExtendedRecord>& records,
                        Lock lock = Lock::None);
    // Insert Extended: the records in order, each of the file's record length;
    // `positions` receives those of the records inserted, also when one fails
    // (those before it stay inserted). The last one's key value of `key`
    // comes back in keyBuffer().
    Status insertExtended(std::span<const std::span<const std::uint8_t>> records, std::int8_t key,
                          std::vector<Position>& positions);
    // The owner name an Open must bring from now on, and what an Open
    // without it may do; the handle must be the file's only one.
    Status setOwner(std::string_view owner, OwnerAccess access);
    Status clearOwner();
    // Adds a key of these segments (as in Create; the segmented flag is set
    // here), filled for every record: as key `number`, else as the lowest
    // number no key has. `sequence`: the collating sequence its segments use.
    Status createIndex(const KeySegments& segments, std::optional<std::uint8_t> number = std::nullopt,
                       const CollatingSequence* sequence = nullptr);
    // Drops key `key`; the keys above it move down one number unless `keepNumbers`.
    Status dropIndex(std::uint8_t key, bool keepNumbers = false);

    // Percentages run from 0 (the first record) to 10,000 (the last).
    // Reads the record at `percentage` along `key` (-1: physical order), as a Get reads.
    Status getByPercentage(std::uint16_t percentage, std::int8_t key, Lock lock = Lock::None);
    // Where the first record of `value` stands along `key`, or the record at `position` in physical order.
    Status findPercentage(std::int8_t key, std::span<const std::uint8_t> value, std::uint32_t& percentage);
    Status findPercentage(const Position& position, std::uint32_t& percentage);

    // Releases the handle's single lock; a multiple lock on one record; all its multiple locks.
    Status unlock();
    Status unlock(const Position& position);
    Status unlockAll();

private:
    struct Buffers;
    // One BTRCALL on the handle's block and key buffer.
    Status call(std::uint16_t operation, void* data, std::uint32_t& dataLength, std::uint8_t keyLength,
                std::int8_t key);
    // A call whose answer is a record in the handle's own buffer.
    Status read(std::uint16_t operation, std::uint8_t keyLength, std::int8_t key);
    // A call that hands the record manager `length` bytes of the handle's own buffer.
    Status write(std::uint16_t operation, std::uint32_t length, std::int8_t key);
    // An extended read of `request` as `operation`, its answer read into records.
    Status readExtended(std::uint16_t operation, std::int8_t key, const ExtendedRequest& request,
                        std::vector<ExtendedRecord>& records);

    std::unique_ptr<Buffers> buffers_;
    std::string name_;
    std::uint32_t recordLength_ = 0;  // of the last read
    bool open_ = false;
};

// The record manager's current directory, which relative file names are
// taken from (at first the process's working directory, which stays as it is).
Status setDirectory(std::string_view path);
Status getDirectory(std::string& path);

// Creates a data file from its entries.
Status create(std::string_view name, const CreateEntries& entries, IfExists ifExists);

// The process's transaction over all its files.
Status beginTransaction();
Status endTransaction();
Status abortTransaction();

// Stop: aborts the transaction and closes every file of the process. Reset: the same, and the next Open starts afresh.
Status stop();
Status reset();

// Verifies a data file; message says what is wrong when it is not sound.
Status verify(const std::string& name, std::string& message);

// The library's version, "MAJOR.MINOR.PATCH".
std::string_view version();

// A record's position as the number the journal gives, and as Get Position's bytes.
Position positionOf(std::int64_t record);
std::int64_t recordAt(const Position& position);

// The journal of changes of a data file (BTRJOURNAL): every committed Insert,
// Update and Delete while it is on. The file need not be open.
struct JournalEntry {
    std::uint64_t sequence = 0;
    std::int64_t time = 0;  // microseconds since 1970-01-01 00:00 UTC
    // Who: on files the operating-system user, the host name and the program;
    // on a server the login role, the client's address and the application name.
    std::string user, host, program;
    std::uint16_t operation = 0;  // B_INSERT, B_UPDATE or B_DELETE
    std::int64_t record = 0;      // the record's position
    std::optional<std::vector<std::uint8_t>> before, after;
    bool damaged = false;  // the stored entry was damaged: what could not be trusted is empty
};

enum class JournalOrder { NewestFirst, OldestFirst };

struct JournalQuery {
    JournalOrder order = JournalOrder::NewestFirst;
    std::optional<std::int64_t> record;          // only this record's entries
    std::optional<std::uint64_t> sinceSequence;  // from this sequence number on,
    std::optional<std::int64_t> sinceTime;       // or from this time on
};

struct JournalState {
    bool kept = false;     // the file has a journal (files of earlier versions have none until it is switched on)
    bool on = false;       // changes are journaled
    bool damaged = false;  // the journal's tables are damaged: writes to the file answer 2
    std::uint64_t entries = 0, firstSequence = 0, lastSequence = 0;
    std::int64_t firstTime = 0, lastTime = 0;
};

// Hands the entries the query names to `each`, in its order, reading a batch
// at a time, until `each` returns false or there are no more.
Status readJournal(const std::string& file, const JournalQuery& query,
                   const std::function<bool(JournalEntry&& entry)>& each);
// The entries the query names, at most `most` of them (0: all).
Status readJournal(const std::string& file, const JournalQuery& query, std::vector<JournalEntry>& entries,
                   std::size_t most = 0);
Status journalState(const std::string& file, JournalState& state);
// A file of an earlier version gets its journal only while no process has it open.
Status switchJournal(const std::string& file, bool on);
// Drops the entries made before `time`, or all but the newest `count`.
Status pruneJournalBefore(const std::string& file, std::int64_t time, std::uint64_t& removed);
Status pruneJournalKeeping(const std::string& file, std::uint64_t count, std::uint64_t& removed);

// One answer of BTRJOURNAL's read, decoded; false when it is not well formed
// (an entry whose lengths do not add up, or that runs past the answer).
struct JournalBatch {
    std::vector<JournalEntry> entries;
    bool more = false;
    std::uint64_t next = 0;
};
bool decodeJournalAnswer(std::span<const std::uint8_t> answer, JournalBatch& batch);

}  // namespace wbtrv::client
