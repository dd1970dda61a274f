// The journal of changes on both engines: every committed Insert, Update and
// Delete with who and when, nothing of a write that failed or a transaction
// undone; what a reader may ask for and how an answer continues; switching,
// pruning, files of earlier versions and a journal whose tables are gone.
#include "btrieve_fixture.h"
#include "child_process.h"

#include <wbtrv32/bytes.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>

namespace btrieve_test {
namespace {

namespace client = wbtrv::client;
using Entries = std::vector<client::JournalEntry>;

Entries journal(const std::string& file, const client::JournalQuery& query = {}) {
    Entries entries;
    EXPECT_EQ(client::readJournal(file, query, entries), B_NO_ERROR);
    return entries;
}

// The entries another process sees: the committed ones.
int committedEntries(const std::string& file) {
    return Child([&](int, int) {
               client::JournalState state;
               return client::journalState(file, state) == B_NO_ERROR ? static_cast<int>(state.entries) : 255;
           })
        .wait();
}

std::int64_t now() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::int64_t positionOfCurrent(Block& block) {
    client::Position position{};
    std::uint32_t length = position.size();
    EXPECT_EQ(BTRCALL(B_GET_POSITION, block.data(), position.data(), &length, nullptr, 0, 0), B_NO_ERROR);
    return client::recordAt(position);
}

std::int16_t begin() { return BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0); }
std::int16_t end(bool commit) {
    return BTRCALL(commit ? B_END_TRANSACTION : B_ABORT_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0);
}

// Inserts, updates and deletes: each entry says what, where, by whom and
// when, with the record before and after; failed writes leave nothing.
TEST_P(EngineTest, EveryCommittedChangeIsJournaledWithWhoAndWhen) {
    Block block{};
    openStandard(block);
    const std::string file = path("standard.dat");
    const std::int64_t start = now();
    Call call{Standard::record(0, 1, 10)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    const Bytes inserted = call.data;
    const std::int64_t first = positionOfCurrent(block);
    call.data = Standard::record(0, 2, 20);
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    const Bytes second = call.data;
    const std::int64_t last = positionOfCurrent(block);
    Call duplicate{Standard::record(0, 3, 20)};  // key 2 repeats 20: refused
    ASSERT_EQ(duplicate.run(B_INSERT, block, 0), B_DUPLICATE_KEY_VALUE);
    Call read{Bytes(Standard::recordLength)};
    ASSERT_EQ(read.run(B_GET_FIRST, block, 0), B_NO_ERROR);
    Bytes updated = inserted;
    updated[12] = 0x7f;
    Call update{updated};
    ASSERT_EQ(update.run(B_UPDATE, block, 0), B_NO_ERROR);
    update.data = Standard::record(1, 1, 20);  // a duplicate again
    ASSERT_EQ(update.run(B_UPDATE, block, 0), B_DUPLICATE_KEY_VALUE);
    ASSERT_EQ(read.run(B_GET_LAST, block, 0), B_NO_ERROR);
    ASSERT_EQ(read.run(B_DELETE, block, 0), B_NO_ERROR);
    const std::int64_t stop = now();

    const Entries entries = journal(file);
    ASSERT_EQ(entries.size(), 4u);
    const struct {
        std::uint16_t operation;
        std::int64_t record;
        std::optional<Bytes> before, after;
    } expected[] = {{B_DELETE, last, second, std::nullopt},
                    {B_UPDATE, first, inserted, updated},
                    {B_INSERT, last, std::nullopt, second},
                    {B_INSERT, first, std::nullopt, inserted}};
    std::string user, program;
    if (onServer()) {
        user = "grim", program = schema_->name();
    } else {
        user = getpwuid(geteuid())->pw_name, program = program_invocation_short_name;
    }
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        const client::JournalEntry& e = entries[i];
        EXPECT_EQ(e.operation, expected[i].operation);
        EXPECT_EQ(e.before, expected[i].before);
        EXPECT_EQ(e.after, expected[i].after);
        EXPECT_FALSE(e.damaged);
        EXPECT_EQ(e.sequence, entries.size() - i);
        EXPECT_EQ(e.record, expected[i].record);
        EXPECT_GE(e.time, start);
        EXPECT_LE(e.time, stop);
        if (i > 0) {
            EXPECT_LE(e.time, entries[i - 1].time);
        }
        EXPECT_EQ(e.user, user);
        EXPECT_EQ(e.program, program);
        EXPECT_EQ(e.host, onServer() ? "" : host) << "a local socket has no address";
    }
}

// A transaction's changes reach the journal at End; an aborted one, or one
// whose process dies, leaves none. Inside it this process sees its own.
TEST_P(EngineTest, TransactionsJournalAtEndOrNotAtAll) {
    Block block{};
    openStandard(block);
    const std::string file = path("standard.dat");
    ASSERT_EQ(begin(), B_NO_ERROR);
    for (std::uint32_t code : {1u, 2u}) {
        Call call{Standard::record(0, 1, code)};
        ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    }
    EXPECT_EQ(journal(file).size(), 2u);
    EXPECT_EQ(committedEntries(file), 0);
    ASSERT_EQ(end(false), B_NO_ERROR);
    EXPECT_EQ(journal(file).size(), 0u);

    ASSERT_EQ(begin(), B_NO_ERROR);
    Call call{Standard::record(0, 1, 3)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    EXPECT_EQ(committedEntries(file), 0);
    ASSERT_EQ(end(true), B_NO_ERROR);
    EXPECT_EQ(committedEntries(file), 1);

    Child dying([&](int, int) {
        Block child{};
        if (openFile(child, file) != B_NO_ERROR || begin() != B_NO_ERROR) return 1;
        Call insert{Standard::record(0, 1, 4)};
        if (insert.run(B_INSERT, child, 0) != B_NO_ERROR) return 1;
        _exit(0);  // without End
    });
    EXPECT_EQ(dying.wait(), 0);
    EXPECT_EQ(committedEntries(file), 1);
    EXPECT_EQ(journal(file).front().after, call.data);
}

// What a reader may ask for: either order, one record, from a sequence number
// or a time, and an answer that stops where the buffer or the count ends and
// goes on from its `next`.
TEST_P(EngineTest, ReadsFollowTheQueryAndContinue) {
    Block block{};
    openStandard(block);
    const std::string file = path("standard.dat");
    std::vector<std::int64_t> positions, times;
    for (std::uint32_t code = 1; code <= 6; ++code) {
        Call call{Standard::record(0, 1, code)};
        ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
        positions.push_back(positionOfCurrent(block));
        if (code % 2 == 0) {  // every second record is updated at once
            call.data[15] = 1;
            ASSERT_EQ(call.run(B_UPDATE, block, 0), B_NO_ERROR);
        }
    }
    const Entries all = journal(file);
    ASSERT_EQ(all.size(), 9u);
    constexpr auto Newest = client::JournalOrder::NewestFirst, Oldest = client::JournalOrder::OldestFirst;
    const auto query = [](client::JournalOrder order = client::JournalOrder::NewestFirst,
                          std::optional<std::int64_t> record = {}, std::optional<std::uint64_t> sinceSequence = {},
                          std::optional<std::int64_t> sinceTime = {}) {
        client::JournalQuery q;
        q.order = order, q.record = record, q.sinceSequence = sinceSequence, q.sinceTime = sinceTime;
        return q;
    };
    const auto sequences = [](const Entries& entries) {
        std::vector<std::uint64_t> out;
        for (const auto& e : entries) out.push_back(e.sequence);
        return out;
    };
    const struct {
        const char* name;
        client::JournalQuery query;
        std::vector<std::uint64_t> expected;
    } cases[] = {
        {"newest first", query(), {9, 8, 7, 6, 5, 4, 3, 2, 1}},
        {"oldest first", query(Oldest), {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"one record", query(Newest, positions[3]), {6, 5}},
        {"one record, oldest first", query(Oldest, positions[1]), {2, 3}},
        {"since a number", query(Newest, {}, 7), {9, 8, 7}},
        {"since a number, oldest first", query(Oldest, {}, 8), {8, 9}},
        {"since a time", query(Oldest, {}, {}, all[2].time), {}},
        {"a record since a number", query(Newest, positions[5], 9), {9}},
        {"no such record", query(Newest, 999), {}},
        {"after the newest", query(Newest, {}, 10), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Entries entries = journal(file, c.query);
        if (c.query.sinceTime) {
            // From the first entry of that time on: times never go back along the sequence.
            ASSERT_FALSE(entries.empty());
            EXPECT_LE(entries.front().sequence, all[2].sequence);
            EXPECT_EQ(entries.back().sequence, 9u);
            for (const auto& e : entries) EXPECT_GE(e.time, all[2].time);
        } else {
            EXPECT_EQ(sequences(entries), c.expected);
        }
    }

    // Answers of at most two entries, then of a buffer too short for one.
    std::array<std::uint8_t, BTR_JOURNAL_QUERY_SIZE> request{};
    wbtrv::writeLittleEndian(request.data() + 4, 4, 2);
    std::vector<std::uint64_t> continued;
    for (bool more = true; more;) {
        Bytes answer(4096);
        auto length = static_cast<std::uint32_t>(answer.size());
        ASSERT_EQ(BTRJOURNAL(BTR_JOURNAL_READ, file.c_str(), request.data(), request.size(), answer.data(), &length),
                  B_NO_ERROR);
        client::JournalBatch batch;
        ASSERT_TRUE(client::decodeJournalAnswer(std::span(answer).first(length), batch));
        EXPECT_LE(batch.entries.size(), 2u);
        for (const auto& e : batch.entries) continued.push_back(e.sequence);
        more = batch.more;
        wbtrv::writeLittleEndian(request.data() + 24, 8, batch.next);
    }
    EXPECT_EQ(continued, sequences(all));
    request = {};
    Bytes answer(BTR_JOURNAL_HEADER_SIZE + BTR_JOURNAL_ENTRY_SIZE);
    auto length = static_cast<std::uint32_t>(answer.size());
    EXPECT_EQ(BTRJOURNAL(BTR_JOURNAL_READ, file.c_str(), request.data(), request.size(), answer.data(), &length),
              B_DATA_BUFFER_TOO_SHORT);
    EXPECT_EQ(length, BTR_JOURNAL_HEADER_SIZE + BTR_JOURNAL_ENTRY_SIZE + all[0].user.size() + all[0].host.size() +
                          all[0].program.size() + 2 * Standard::recordLength);
}

// Off, nothing is journaled and the entries stay; pruned, the old entries
// go and sequence numbers are never given again.
TEST_P(EngineTest, SwitchingAndPruning) {
    Block block{};
    openStandard(block);
    const std::string file = path("standard.dat");
    const auto insert = [&](std::uint32_t code) {
        Call call{Standard::record(0, 1, code)};
        ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    };
    const auto state = [&] {
        client::JournalState s;
        EXPECT_EQ(client::journalState(file, s), B_NO_ERROR);
        return s;
    };
    insert(1);
    insert(2);
    ASSERT_EQ(client::switchJournal(file, false), B_NO_ERROR);
    insert(3);
    client::JournalState s = state();
    EXPECT_TRUE(s.kept && !s.on && !s.damaged);
    EXPECT_EQ(s.entries, 2u);
    ASSERT_EQ(client::switchJournal(file, true), B_NO_ERROR);
    insert(4);
    s = state();
    EXPECT_TRUE(s.on);
    EXPECT_EQ(s.entries, 3u);
    EXPECT_EQ(s.firstSequence, 1u);
    EXPECT_EQ(s.lastSequence, 3u);
    EXPECT_EQ(s.lastTime, journal(file).front().time);

    std::uint64_t removed = 0;
    ASSERT_EQ(client::pruneJournalKeeping(file, 2, removed), B_NO_ERROR);
    EXPECT_EQ(removed, 1u);
    ASSERT_EQ(client::pruneJournalBefore(file, state().lastTime, removed), B_NO_ERROR);
    EXPECT_EQ(removed, 1u);
    ASSERT_EQ(client::pruneJournalKeeping(file, 0, removed), B_NO_ERROR);
    EXPECT_EQ(removed, 1u);
    EXPECT_EQ(state().entries, 0u);
    insert(5);
    EXPECT_EQ(journal(file).front().sequence, 4u);

    // Changing the journal inside a transaction is refused; reading is not.
    ASSERT_EQ(begin(), B_NO_ERROR);
    EXPECT_EQ(client::switchJournal(file, false), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(client::pruneJournalKeeping(file, 0, removed), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(journal(file).size(), 1u);
    ASSERT_EQ(end(true), B_NO_ERROR);
}

// A file of an earlier version opens and works as before, without a
// journal, until one is switched on, which needs the file to itself.
TEST_P(EngineTest, FilesOfEarlierVersionsGetAJournalOnlyHeldAlone) {
    const std::string file = path("standard.dat");
    fill(file, 1, 2);
    // The tables a record manager before the journal makes.
    if (onServer())
        ASSERT_TRUE(
            schema_->sql("DROP TABLE wbtrv_journal_1 CASCADE; DROP TRIGGER wbtrv_journal ON wbtrv_data_1;"
                         " DROP FUNCTION wbtrv_journal_write_1(); UPDATE wbtrv_files SET version = 3"));
    else
        runSql(file, "DROP TABLE journal_t; DROP TABLE journal_state_t; UPDATE metadata_t SET version = 3");
    Block block{};
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    Call call{Standard::record(0, 1, 7)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    client::JournalState state;
    ASSERT_EQ(client::journalState(file, state), B_NO_ERROR);
    EXPECT_FALSE(state.kept || state.on);
    EXPECT_TRUE(journal(file).empty());
    EXPECT_EQ(client::switchJournal(file, false), B_NO_ERROR);
    EXPECT_EQ(client::switchJournal(file, true), B_FILE_IN_USE) << "this process has it open";
    Child other(file, [&](Block&, const Pause& pause) {
        pause();
        return 0;
    });
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    ASSERT_TRUE(other.waitForSignal());
    EXPECT_EQ(client::switchJournal(file, true), B_FILE_IN_USE) << "another process has it open";
    other.signal();
    EXPECT_EQ(other.wait(), 0);
    ASSERT_EQ(client::switchJournal(file, true), B_NO_ERROR);
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST, block, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_DELETE, block, 0), B_NO_ERROR);
    const Entries entries = journal(file);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].operation, B_DELETE);
    ASSERT_EQ(client::journalState(file, state), B_NO_ERROR);
    EXPECT_TRUE(state.kept && state.on);
}

// A journal whose table is gone does not stop the data from being read;
// writes, which it could not journal, answer 2 until it is switched on again.
TEST_P(EngineTest, AJournalWhoseTableIsGoneStopsWritesNotReads) {
    const std::string file = path("standard.dat");
    fill(file, 1, 3);
    if (onServer())
        ASSERT_TRUE(schema_->sql("DROP TABLE wbtrv_journal_1 CASCADE"));
    else
        runSql(file, "DROP TABLE journal_t");
    Block block{};
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    std::int16_t status = B_NO_ERROR;
    EXPECT_EQ(readAll(block, status).size(), 3u);
    EXPECT_EQ(status, B_NO_ERROR);
    Call call{Standard::record(0, 1, 9)};
    EXPECT_EQ(call.run(B_INSERT, block, 0), B_IO_ERROR);
    ASSERT_EQ(call.run(B_GET_FIRST, block, 0), B_NO_ERROR);
    EXPECT_EQ(call.run(B_DELETE, block, 0), B_IO_ERROR);
    client::JournalState state;
    ASSERT_EQ(client::journalState(file, state), B_NO_ERROR);
    EXPECT_TRUE(state.kept && state.damaged && !state.on);
    Entries entries;
    EXPECT_EQ(client::readJournal(file, {}, entries), B_IO_ERROR);
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    ASSERT_EQ(client::switchJournal(file, true), B_NO_ERROR);
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    call.data = Standard::record(0, 1, 9);
    EXPECT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    EXPECT_EQ(journal(file).size(), 1u);
}

// Bad calls get a status and touch no byte beyond the lengths given.
TEST_P(EngineTest, BadJournalCallsGetAStatus) {
    Block block{};
    openStandard(block);
    const std::string file = path("standard.dat");
    std::array<std::uint8_t, BTR_JOURNAL_QUERY_SIZE> request{};
    Bytes answer(BTR_JOURNAL_STATUS_SIZE + 8, 0xee);
    const auto call = [&](std::uint16_t command, const char* name, std::uint32_t requestLength,
                          std::uint32_t capacity) {
        std::uint32_t length = capacity;
        return BTRJOURNAL(command, name, request.data(), requestLength, answer.data(), &length);
    };
    EXPECT_EQ(call(0, file.c_str(), 32, 48), B_INVALID_OPERATION);
    EXPECT_EQ(call(BTR_JOURNAL_PRUNE_KEEP + 1, file.c_str(), 32, 48), B_INVALID_OPERATION);
    EXPECT_EQ(call(BTR_JOURNAL_STATUS, nullptr, 0, 48), B_INVALID_FILE_NAME);
    EXPECT_EQ(call(BTR_JOURNAL_STATUS, "", 0, 48), B_INVALID_FILE_NAME);
    EXPECT_EQ(call(BTR_JOURNAL_STATUS, path("missing.dat").c_str(), 0, 48), B_FILE_NOT_FOUND);
    EXPECT_EQ(call(BTR_JOURNAL_READ, file.c_str(), 31, 48), B_DATA_BUFFER_TOO_SHORT);
    EXPECT_EQ(call(BTR_JOURNAL_PRUNE_BEFORE, file.c_str(), 7, 48), B_DATA_BUFFER_TOO_SHORT);
    EXPECT_EQ(call(BTR_JOURNAL_STATUS, file.c_str(), 0, 47), B_DATA_BUFFER_TOO_SHORT);
    EXPECT_EQ(call(BTR_JOURNAL_READ, file.c_str(), 32, 15), B_DATA_BUFFER_TOO_SHORT);
    EXPECT_TRUE(std::all_of(answer.begin(), answer.end(), [](std::uint8_t b) { return b == 0xee; }));
    std::uint32_t length = 0;
    EXPECT_EQ(BTRJOURNAL(BTR_JOURNAL_READ, file.c_str(), nullptr, 32, nullptr, &length), B_DATA_BUFFER_TOO_SHORT);
    EXPECT_EQ(BTRJOURNAL(BTR_JOURNAL_STATUS, file.c_str(), nullptr, 0, nullptr, nullptr), B_DATA_BUFFER_TOO_SHORT);
    EXPECT_EQ(BTRJOURNAL(BTR_JOURNAL_OFF, file.c_str(), nullptr, 0, nullptr, nullptr), B_NO_ERROR);
}

using JournalServerTest = EngineTest;
INSTANTIATE_TEST_SUITE_P(Engines, JournalServerTest, ::testing::Values(Engine::Server),
                         [](const auto&) { return std::string("Server"); });

// On a server a role that may read a file's records may read its journal,
// and no other role may; a role that may change the records is journaled
// under its login without a right of its own on the journal; switching and
// pruning are for whoever owns the tables.
TEST_P(JournalServerTest, WhoMayReadTheJournalIsWhoMayReadTheRecords) {
    Block block{};
    openStandard(block);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    const std::string& s = schema_->name();
    const std::string reader = "reader_" + s, writer = "writer_" + s, stranger = "stranger_" + s;
    const std::string roles = reader + ", " + writer + ", " + stranger;
    ASSERT_TRUE(schema_->sql("CREATE ROLE " + reader + " LOGIN; CREATE ROLE " + writer + " LOGIN; CREATE ROLE " +
                             stranger + " LOGIN; GRANT USAGE ON SCHEMA " + s + " TO " + roles +
                             "; GRANT SELECT ON wbtrv_files, wbtrv_keys TO " + roles +
                             "; GRANT SELECT ON wbtrv_data_1 TO " + reader +
                             "; GRANT SELECT, INSERT, UPDATE, DELETE ON wbtrv_data_1 TO " + writer));
    const std::string file = path("standard.dat");
    const auto as = [&](const std::string& role) {
        setenv("WBTRV32_SERVER", (schema_->connection() + " user=" + role).c_str(), 1);
    };
    std::uint64_t removed = 0;
    as(writer);
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    call.data = Standard::record(0, 1, 2);
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    BTRCALL(B_RESET, block.data(), nullptr, nullptr, nullptr, 0, 0);
    EXPECT_EQ(journal(file).front().user, writer);
    EXPECT_EQ(client::switchJournal(file, false), B_ACCESS_DENIED);
    EXPECT_EQ(client::pruneJournalKeeping(file, 0, removed), B_ACCESS_DENIED);
    as(reader);
    EXPECT_EQ(journal(file).size(), 2u);
    EXPECT_EQ(client::switchJournal(file, false), B_ACCESS_DENIED);
    as(stranger);
    Entries entries;
    EXPECT_EQ(client::readJournal(file, {}, entries), B_ACCESS_DENIED);
    client::JournalState state;
    EXPECT_EQ(client::journalState(file, state), B_ACCESS_DENIED);
    EXPECT_TRUE(schema_->sql("DROP OWNED BY " + roles + "; DROP ROLE " + roles));
}

}  // namespace
}  // namespace btrieve_test
