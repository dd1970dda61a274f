// BTRJOURNAL: reads, reports, switches and prunes a data file's journal of
// changes, on whichever engine keeps the file. A file this process has open
// is reached through its open connection (so a read inside the process's
// transaction sees the transaction's own changes, as its reads of records
// do); any other is opened for the call and closed after it.
#include "operations/journal_answer.h"
#include "operations/registry.h"
#include "server/server_message.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <cstring>
#include <new>

namespace wbtrv {
namespace {

// The bytes of request a command needs; none for an unknown command.
std::optional<std::uint32_t> requestSize(std::uint16_t command) {
    switch (command) {
        case BTR_JOURNAL_READ:
            return BTR_JOURNAL_QUERY_SIZE;
        case BTR_JOURNAL_STATUS:
        case BTR_JOURNAL_ON:
        case BTR_JOURNAL_OFF:
            return 0;
        case BTR_JOURNAL_PRUNE_BEFORE:
        case BTR_JOURNAL_PRUNE_KEEP:
            return 8;
        default:
            return std::nullopt;
    }
}

bool changesJournal(std::uint16_t command) { return command >= BTR_JOURNAL_ON; }

JournalQuery queryFrom(const std::uint8_t* request, std::uint32_t& mostEntries) {
    const auto flags = readLittleEndian(request, 2);
    JournalQuery query;
    query.oldestFirst = (flags & BTR_JOURNAL_OLDEST_FIRST) != 0;
    query.sinceTime = (flags & BTR_JOURNAL_SINCE_TIME) != 0;
    mostEntries = static_cast<std::uint32_t>(readLittleEndian(request + 4, 4));
    if (flags & BTR_JOURNAL_ONE_RECORD) query.record = readSignedLittleEndian(request + 8, 8);
    query.since = readSignedLittleEndian(request + 16, 8);
    query.cursor = readLittleEndian(request + 24, 8);
    return query;
}

// The file the command runs on: this process's open file, or one opened for
// the call. Giving a file a journal needs it held exclusively.
class JournalTarget {
public:
    int reach(Registry& registry, const std::string& name, bool exclusive) {
        Engine& engine = registry.engineFor(name);
        FileIdentity identity;
        if (engine.identify(name, identity))
            if (OpenFile* open = registry.fileWithIdentity(identity)) {
                if (exclusive && !open->exclusive()) return B_FILE_IN_USE;
                file_ = &open->stored();
                return B_NO_ERROR;
            }
        own_.reset();
        const int status = engine.open(name, exclusive, own_);
        file_ = own_.get();
        return status;
    }
    StoredFile& operator*() const { return *file_; }
    StoredFile* operator->() const { return file_; }

private:
    std::unique_ptr<StoredFile> own_;
    StoredFile* file_ = nullptr;
};

int runCommand(Registry& registry, std::uint16_t command, const std::string& name, const std::uint8_t* request,
               std::uint8_t* answer, std::uint32_t capacity, std::uint32_t& length) {
    if (changesJournal(command) && registry.inTransaction()) return B_OPERATION_NOT_ALLOWED;
    JournalTarget file;
    if (const int status = file.reach(registry, name, false); status != B_NO_ERROR) return status;
    if (changesJournal(command) && file->readOnly()) return B_ACCESS_DENIED;
    switch (command) {
        case BTR_JOURNAL_READ: {
            std::uint32_t mostEntries = 0;
            const JournalQuery query = queryFrom(request, mostEntries);
            JournalAnswer out(answer, capacity, mostEntries);
            const int status = file->readJournal(query, [&](const JournalEntry& entry) { return out.add(entry); });
            const int finished = out.finish(length);
            return status != B_NO_ERROR ? status : finished;
        }
        case BTR_JOURNAL_STATUS: {
            if (capacity < BTR_JOURNAL_STATUS_SIZE) {
                length = BTR_JOURNAL_STATUS_SIZE;
                return B_DATA_BUFFER_TOO_SHORT;
            }
            JournalState state;
            if (const int status = file->journalState(state); status != B_NO_ERROR) return status;
            writeJournalState(state, answer);
            length = BTR_JOURNAL_STATUS_SIZE;
            return B_NO_ERROR;
        }
        case BTR_JOURNAL_ON:
            // A file without a journal gets one only while no other open of it could miss it.
            if (!file->layout().journalKept)
                if (const int status = file.reach(registry, name, true); status != B_NO_ERROR) return status;
            return file->switchJournal(true);
        case BTR_JOURNAL_OFF:
            return file->switchJournal(false);
        default: {
            JournalPrune prune;
            prune.keepNewest = command == BTR_JOURNAL_PRUNE_KEEP;
            prune.before = readSignedLittleEndian(request, 8);
            prune.count = readLittleEndian(request, 8);
            std::uint64_t removed = 0;
            const int status = file->pruneJournal(prune, removed);
            if (status == B_NO_ERROR && capacity >= 8) {
                writeLittleEndian(answer, 8, removed);
                length = 8;
            }
            return status;
        }
    }
}

}  // namespace
}  // namespace wbtrv

extern "C" BTR_EXPORT int16_t BTR_CALLCONV BTRJOURNAL(uint16_t command, const char* fileName, const void* request,
                                                      uint32_t requestLength, void* answer, uint32_t* answerLength) {
    using namespace wbtrv;
    const ServerMessageCall call;
    const std::optional<std::uint32_t> needed = requestSize(command);
    if (!needed) return B_INVALID_OPERATION;
    if (!fileName || !*fileName) return B_INVALID_FILE_NAME;
    if (*needed != 0 && (!request || requestLength < *needed)) return B_DATA_BUFFER_TOO_SHORT;
    const std::uint32_t capacity = answer && answerLength ? *answerLength : 0;
    std::uint32_t length = 0;
    int status = B_NO_ERROR;
    try {
        Registry& registry = Registry::instance();
        std::lock_guard lock(registry.mutex());
        registry.leaveParentState();
        status = runCommand(registry, command, fileName, static_cast<const std::uint8_t*>(request),
                            static_cast<std::uint8_t*>(answer), capacity, length);
    } catch (const std::bad_alloc&) {
        status = B_DISK_FULL;
    } catch (...) {
        status = B_IO_ERROR;
    }
    if (answerLength) *answerLength = length;
    return static_cast<int16_t>(call.finish(status));
}
