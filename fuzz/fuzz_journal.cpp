// Reading a damaged journal. An input is a list of edits made to the journal
// of a sound file of ours (fields of the wrong type or size, impossible
// operations, positions and sequence numbers, rows gone or added, columns
// dropped, renamed or loosened, tables gone). Whatever the edits, the file
// opens and its records read as before; BTRJOURNAL answers a status, every
// answer is well formed and ends, and an entry not marked damaged is one that
// could have been written; a write is journaled or refused with 2.
#include "fuzz_support.h"
#include "sql_edits.h"

#include <wbtrv32/client.h>

#include <cstdlib>

using namespace fuzz;

namespace {

// Each edit damages a field of a row, rows, columns or tables.
const std::string kEdits[] = {
    "UPDATE journal_t SET seq = ?1 WHERE rowid = ?2",
    "UPDATE journal_t SET time = ?1 WHERE rowid = ?2",
    "UPDATE journal_t SET user = ?1 WHERE rowid = ?2",
    "UPDATE journal_t SET program = ?1 WHERE rowid = ?2",
    "UPDATE journal_t SET operation = ?1 WHERE rowid = ?2",
    "UPDATE journal_t SET record = ?1 WHERE rowid = ?2",
    "UPDATE journal_t SET before = ?1 WHERE rowid = ?2",
    "UPDATE journal_t SET after = ?1 WHERE rowid = ?2",
    "UPDATE journal_state_t SET enabled = ?1 WHERE rowid = ?2 - 1",
    "UPDATE journal_state_t SET pruned_through = ?1 WHERE rowid = ?2 - 1",
    "DELETE FROM journal_t WHERE rowid = ?2 AND ?1 IS NOT NULL",
    ("INSERT INTO journal_t SELECT seq + 10, time, user, host, program, operation, ?1, before, after"
     " FROM journal_t WHERE rowid = ?2"),
    "INSERT INTO journal_state_t VALUES (?1, ?2)",
    // Without its constraints: any field may then be null, seq anything.
    "CREATE TABLE loose AS SELECT * FROM journal_t; DROP TABLE journal_t; ALTER TABLE loose RENAME TO journal_t",
    "ALTER TABLE journal_t DROP COLUMN after",
    "ALTER TABLE journal_t RENAME COLUMN user TO who",
    "ALTER TABLE journal_t ADD COLUMN extra",
    "DROP TABLE journal_state_t",
    "DROP TABLE journal_t",
};

// A sound file whose journal holds each kind of entry: three inserts, an update, a delete.
void makeFile(const std::string& path) {
    expectCreated(path);
    Block block{};
    Bytes record(16), key(BTR_MAX_KEY_LENGTH);
    if (open(block, path) != B_NO_ERROR || call(B_GET_FIRST, block, record, key, 0) != B_NO_ERROR) std::abort();
    record[15] ^= 0xFF;
    if (call(B_UPDATE, block, record, key, 0) != B_NO_ERROR || call(B_GET_LAST, block, record, key, 0) != B_NO_ERROR ||
        call(B_DELETE, block, record, key, 0) != B_NO_ERROR)
        std::abort();
    call(B_CLOSE, block, key, key, 0);
}

// An entry not marked damaged must be one the record manager could have written.
void checkEntry(const wbtrv::client::JournalEntry& e) {
    if (e.damaged) return;
    const bool insert = e.operation == B_INSERT, remove = e.operation == B_DELETE;
    if (!insert && !remove && e.operation != B_UPDATE) std::abort();
    if (e.before.has_value() == insert || e.after.has_value() == remove) std::abort();
    if ((e.before && e.before->size() != 16) || (e.after && e.after->size() != 16)) std::abort();
}

// Reads the whole journal in the order and of the record the flags name,
// through answers of `capacity` bytes; aborts on an answer that is not well
// formed or a read that does not end.
void readAll(const std::string& path, std::uint16_t flags, std::int64_t record, std::uint32_t capacity) {
    Bytes query(BTR_JOURNAL_QUERY_SIZE), answer(capacity);
    putInt(query, 0, 2, flags);
    putInt(query, 8, 8, record);
    for (int calls = 0; calls < 200; ++calls) {
        std::uint32_t length = static_cast<std::uint32_t>(answer.size());
        const std::int16_t status = BTRJOURNAL(BTR_JOURNAL_READ, path.c_str(), query.data(),
                                               static_cast<std::uint32_t>(query.size()), answer.data(), &length);
        if (status == B_DATA_BUFFER_TOO_SHORT && length > answer.size() && length < (1u << 20)) {
            answer.resize(length);
            continue;
        }
        if (status != B_NO_ERROR) {
            if (status != B_IO_ERROR) std::abort();
            return;
        }
        wbtrv::client::JournalBatch batch;
        if (length > answer.size() || !wbtrv::client::decodeJournalAnswer(std::span(answer).first(length), batch))
            std::abort();
        for (const auto& e : batch.entries) checkEntry(e);
        if (!batch.more) return;
        putInt(query, 24, 8, static_cast<std::int64_t>(batch.next));
    }
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = scratchPath("journal.dat");
    removeDataFile(path);
    makeFile(path);
    applySqlEdits(path, kEdits, data, size);

    // The records read as before: the first two of the three inserted, the second updated.
    Block block{};
    Bytes record(16), key(BTR_MAX_KEY_LENGTH);
    if (open(block, path) != B_NO_ERROR) std::abort();
    int records = 0;
    for (std::int16_t s = call(B_GET_FIRST, block, record, key, 0); s == B_NO_ERROR;
         s = call(B_GET_NEXT, block, record, key, 0))
        if (++records > 2 || getInt(record, 6, 4) != records) std::abort();
    if (records != 2) std::abort();

    Bytes state(BTR_JOURNAL_STATUS_SIZE);
    std::uint32_t length = static_cast<std::uint32_t>(state.size());
    const std::int16_t status = BTRJOURNAL(BTR_JOURNAL_STATUS, path.c_str(), nullptr, 0, state.data(), &length);
    if (status != B_NO_ERROR && status != B_IO_ERROR) std::abort();
    const std::uint32_t capacity = size ? 64u + data[0] * 4u : 4096u;
    for (const std::uint16_t flags : {0, BTR_JOURNAL_OLDEST_FIRST, BTR_JOURNAL_ONE_RECORD})
        readAll(path, flags, 1, capacity);

    // A write is journaled with the file, or refused with 2 when it could not be.
    Bytes added(16, 0x5A);
    putInt(added, 0, 4, 0);
    putInt(added, 6, 4, 99);
    const std::int16_t inserted = call(B_INSERT, block, added, key, 0);
    const bool damaged = status != B_NO_ERROR || (getInt(state, 0, 4) & BTR_JOURNAL_DAMAGED);
    if (inserted != B_NO_ERROR && inserted != B_IO_ERROR) std::abort();
    if (damaged && inserted == B_NO_ERROR) std::abort();
    call(B_CLOSE, block, key, key, 0);

    verifyAndRemove(path);
    return 0;
}
