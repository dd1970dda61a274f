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

std::int16_t begin() { return BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0); }
std::int16_t end(bool commit) {
    return BTRCALL(commit ? B_END_TRANSACTION : B_ABORT_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0);
}
std::int64_t now() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A file of the standard layout open in `block`, and short forms of what the tests ask of its journal.
class JournalTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        file = path("standard.dat");
        if (!IsSkipped()) openStandard(block);
    }
    // Writes through the block; on 0 the record's position.
    std::int64_t write(std::uint16_t operation, std::uint32_t code, std::int16_t expected = B_NO_ERROR) {
        Call call{Standard::record(0, 1, code)};
        wbtrv::writeLittleEndian(read.key.data(), 4, code);
        if (operation != B_INSERT && read.run(B_GET_EQUAL, block, 2) != B_NO_ERROR)
            ADD_FAILURE() << "no record " << code;
        if (operation == B_UPDATE) (call.data = read.data)[15] ^= 1;
        EXPECT_EQ(call.run(operation, block, 0), expected);
        written = call.data;
        client::Position position{};
        std::uint32_t length = position.size();
        BTRCALL(B_GET_POSITION, block.data(), position.data(), &length, nullptr, 0, 0);
        return client::recordAt(position);
    }
    Entries journal(const client::JournalQuery& query = {}) const {
        Entries entries;
        EXPECT_EQ(client::readJournal(file, query, entries), B_NO_ERROR);
        return entries;
    }
    client::JournalState state() const {
        client::JournalState s;
        EXPECT_EQ(client::journalState(file, s), B_NO_ERROR);
        return s;
    }
    // The entries another process sees: the committed ones.
    int committed() const {
        return Child([&](int, int) { return static_cast<int>(state().entries); }).wait();
    }

    Block block{};
    Call read{Bytes(Standard::recordLength)};
    Bytes written;
    std::string file;
};
INSTANTIATE_TEST_SUITE_P(Engines, JournalTest, ::testing::Values(Engine::SQLite, Engine::Server),
                         [](const auto& info) { return info.param == Engine::SQLite ? "SQLite" : "Server"; });

// Each entry says what, where, by whom and when, with the record before and
// after; writes that failed (a duplicate key) leave nothing.
TEST_P(JournalTest, EveryCommittedChangeIsJournaledWithWhoAndWhen) {
    const std::int64_t start = now();
    const std::int64_t first = write(B_INSERT, 10);
    const Bytes inserted = written;
    const std::int64_t second = write(B_INSERT, 20);
    const Bytes twenty = written;
    write(B_INSERT, 20, B_DUPLICATE_KEY_VALUE);
    write(B_UPDATE, 10);
    const Bytes updated = written;
    write(B_DELETE, 20);
    // Several records in one call (one statement on a server): an entry each, in their order.
    const Bytes many[] = {Standard::record(30, 1, 30), Standard::record(31, 1, 31), Standard::record(32, 1, 32)};
    const std::span<const std::uint8_t> spans[] = {many[0], many[1], many[2]};
    client::File handle;
    std::vector<client::Position> positions;
    ASSERT_EQ(handle.open(file), B_NO_ERROR);
    ASSERT_EQ(handle.insertExtended(spans, 0, positions), B_NO_ERROR);
    ASSERT_EQ(positions.size(), 3u);
    const auto at = [&](int i) { return client::recordAt(positions[i]); };
    const std::int64_t stop = now();
    const struct {
        std::uint16_t operation;
        std::int64_t record;
        std::optional<Bytes> before, after;
    } expected[] = {{B_INSERT, at(2), std::nullopt, many[2]}, {B_INSERT, at(1), std::nullopt, many[1]},
                    {B_INSERT, at(0), std::nullopt, many[0]}, {B_DELETE, second, twenty, std::nullopt},
                    {B_UPDATE, first, inserted, updated},     {B_INSERT, second, std::nullopt, twenty},
                    {B_INSERT, first, std::nullopt, inserted}};
    const std::string user = onServer() ? "grim" : getpwuid(geteuid())->pw_name;
    const std::string program = onServer() ? schema_->name() : program_invocation_short_name;
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    const Entries entries = journal();
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        const client::JournalEntry& e = entries[i];
        EXPECT_EQ(std::tie(e.operation, e.record, e.before, e.after),
                  std::tie(expected[i].operation, expected[i].record, expected[i].before, expected[i].after));
        EXPECT_EQ(e.sequence, entries.size() - i);
        EXPECT_FALSE(e.damaged);
        EXPECT_TRUE(e.time >= start && e.time <= stop && (i == 0 || e.time <= entries[i - 1].time)) << e.time;
        EXPECT_EQ(std::tie(e.user, e.host, e.program), std::make_tuple(user, onServer() ? "" : host, program));
    }
}

// A transaction's changes reach the journal at End; an aborted one, or one
// whose process dies, leaves none. Inside it this process sees its own.
TEST_P(JournalTest, TransactionsJournalAtEndOrNotAtAll) {
    ASSERT_EQ(begin(), B_NO_ERROR);
    write(B_INSERT, 1);
    write(B_INSERT, 2);
    EXPECT_EQ(journal().size(), 2u);
    EXPECT_EQ(committed(), 0);
    ASSERT_EQ(end(false), B_NO_ERROR);
    EXPECT_EQ(journal().size(), 0u);
    ASSERT_EQ(begin(), B_NO_ERROR);
    write(B_INSERT, 3);
    EXPECT_EQ(committed(), 0);
    ASSERT_EQ(end(true), B_NO_ERROR);
    EXPECT_EQ(committed(), 1);
    Child dying([&](int, int) {
        Block child{};
        Call insert{Standard::record(0, 1, 4)};
        if (openFile(child, file) || begin() || insert.run(B_INSERT, child, 0)) return 1;
        _exit(0);  // without End
    });
    EXPECT_EQ(dying.wait(), 0);
    EXPECT_EQ(committed(), 1);
    EXPECT_EQ(journal().front().after, written);
}

// What a reader may ask for: either order, one record, from a sequence number
// or a time; an answer stops where the buffer or the count ends and goes on
// from its `next`.
TEST_P(JournalTest, ReadsFollowTheQueryAndContinue) {
    std::vector<std::int64_t> positions;
    for (std::uint32_t code = 1; code <= 6; ++code) {
        positions.push_back(write(B_INSERT, code));
        if (code % 2 == 0) write(B_UPDATE, code);
    }
    const Entries all = journal();
    ASSERT_EQ(all.size(), 9u);
    constexpr auto Newest = client::JournalOrder::NewestFirst, Oldest = client::JournalOrder::OldestFirst;
    const auto query = [](client::JournalOrder order, std::optional<std::int64_t> record = {},
                          std::optional<std::uint64_t> sinceSequence = {}, std::optional<std::int64_t> sinceTime = {}) {
        client::JournalQuery q;
        q.order = order, q.record = record, q.sinceSequence = sinceSequence, q.sinceTime = sinceTime;
        return q;
    };
    const auto sequences = [](const Entries& entries) {
        std::vector<std::uint64_t> out;
        for (const auto& e : entries) out.push_back(e.sequence);
        return out;
    };
    // The entries since the third's time: from the first of that time on, as times never go back.
    std::vector<std::uint64_t> sinceThird;
    for (const auto& e : all)
        if (e.time >= all[6].time) sinceThird.insert(sinceThird.begin(), e.sequence);
    const struct {
        client::JournalQuery query;
        std::vector<std::uint64_t> expected;
    } cases[] = {
        {query(Newest), {9, 8, 7, 6, 5, 4, 3, 2, 1}},
        {query(Oldest), {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {query(Newest, positions[3]), {6, 5}},
        {query(Oldest, positions[1]), {2, 3}},
        {query(Newest, {}, 7), {9, 8, 7}},
        {query(Oldest, {}, 8), {8, 9}},
        {query(Oldest, {}, {}, all[6].time), sinceThird},
        {query(Newest, positions[5], 9), {9}},
        {query(Newest, 999), {}},
        {query(Newest, {}, 10), {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(sequences(journal(cases[i].query)), cases[i].expected) << i;

    // Answers of at most two entries, then a buffer too short for one.
    std::array<std::uint8_t, BTR_JOURNAL_QUERY_SIZE> request{};
    wbtrv::writeLittleEndian(request.data() + 4, 4, 2);
    std::vector<std::uint64_t> continued;
    Bytes answer(4096);
    client::JournalBatch batch;
    for (batch.more = true; batch.more;) {
        auto length = static_cast<std::uint32_t>(answer.size());
        ASSERT_EQ(BTRJOURNAL(BTR_JOURNAL_READ, file.c_str(), request.data(), 32, answer.data(), &length), B_NO_ERROR);
        ASSERT_TRUE(client::decodeJournalAnswer(std::span(answer).first(length), batch));
        EXPECT_LE(batch.entries.size(), 2u);
        for (const auto& e : batch.entries) continued.push_back(e.sequence);
        wbtrv::writeLittleEndian(request.data() + 24, 8, batch.next);
    }
    EXPECT_EQ(continued, sequences(all));
    request = {};
    auto length = static_cast<std::uint32_t>(BTR_JOURNAL_HEADER_SIZE + BTR_JOURNAL_ENTRY_SIZE);
    EXPECT_EQ(BTRJOURNAL(BTR_JOURNAL_READ, file.c_str(), request.data(), 32, answer.data(), &length),
              B_DATA_BUFFER_TOO_SHORT);
    EXPECT_EQ(length, BTR_JOURNAL_HEADER_SIZE + BTR_JOURNAL_ENTRY_SIZE + all[0].user.size() + all[0].host.size() +
                          all[0].program.size() + 2 * Standard::recordLength);
}

// Off, nothing is journaled and the entries stay; pruned, the old entries go
// and sequence numbers are never given again; neither inside a transaction.
TEST_P(JournalTest, SwitchingAndPruning) {
    write(B_INSERT, 1);
    write(B_INSERT, 2);
    ASSERT_EQ(client::switchJournal(file, false), B_NO_ERROR);
    write(B_INSERT, 3);
    client::JournalState s = state();
    EXPECT_TRUE(s.kept && !s.on && !s.damaged && s.entries == 2);
    ASSERT_EQ(client::switchJournal(file, true), B_NO_ERROR);
    write(B_INSERT, 4);
    s = state();
    EXPECT_TRUE(s.on && s.entries == 3 && s.firstSequence == 1 && s.lastSequence == 3);
    EXPECT_EQ(s.lastTime, journal().front().time);
    std::uint64_t removed = 0;
    ASSERT_EQ(client::pruneJournalKeeping(file, 2, removed), B_NO_ERROR);
    EXPECT_EQ(removed, 1u);
    ASSERT_EQ(client::pruneJournalBefore(file, s.lastTime, removed), B_NO_ERROR);
    EXPECT_EQ(removed, 1u);
    ASSERT_EQ(client::pruneJournalKeeping(file, 0, removed), B_NO_ERROR);
    EXPECT_EQ(removed + state().entries, 1u);
    write(B_INSERT, 5);
    EXPECT_EQ(journal().front().sequence, 4u);
    ASSERT_EQ(begin(), B_NO_ERROR);
    EXPECT_EQ(client::switchJournal(file, false), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(client::pruneJournalKeeping(file, 0, removed), B_OPERATION_NOT_ALLOWED);
    EXPECT_EQ(journal().size(), 1u);
    ASSERT_EQ(end(true), B_NO_ERROR);
}

// A file of an earlier version opens and works as before, without a journal,
// until one is switched on, which needs the file to itself.
TEST_P(JournalTest, FilesOfEarlierVersionsGetAJournalOnlyHeldAlone) {
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    // The tables a record manager before the journal makes.
    if (onServer())
        ASSERT_TRUE(
            schema_->sql("DROP TABLE wbtrv_journal_1 CASCADE; DROP FUNCTION wbtrv_journal_write_1() CASCADE;"
                         " UPDATE wbtrv_files SET version = 3"));
    else
        runSql(file, "DROP TABLE journal_t; DROP TABLE journal_state_t; UPDATE metadata_t SET version = 3");
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    write(B_INSERT, 7);
    EXPECT_FALSE(state().kept || state().on);
    EXPECT_TRUE(journal().empty());
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
    write(B_DELETE, 7);
    const Entries entries = journal();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].operation, B_DELETE);
    EXPECT_TRUE(state().kept && state().on);
}

// A journal whose table is gone does not stop the data from being read;
// writes, which it could not journal, answer 2 until it is switched on again.
TEST_P(JournalTest, AJournalWhoseTableIsGoneStopsWritesNotReads) {
    write(B_INSERT, 1);
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    if (onServer())
        ASSERT_TRUE(schema_->sql("DROP TABLE wbtrv_journal_1 CASCADE"));
    else
        runSql(file, "DROP TABLE journal_t");
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    std::int16_t status = B_NO_ERROR;
    EXPECT_EQ(readAll(block, status).size(), 1u);
    EXPECT_EQ(status, B_NO_ERROR);
    write(B_INSERT, 2, B_IO_ERROR);
    write(B_DELETE, 1, B_IO_ERROR);
    EXPECT_TRUE(state().kept && state().damaged && !state().on);
    Entries entries;
    EXPECT_EQ(client::readJournal(file, {}, entries), B_IO_ERROR);
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    ASSERT_EQ(client::switchJournal(file, true), B_NO_ERROR);
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    write(B_INSERT, 2);
    EXPECT_EQ(journal().size(), 1u);
}

// Bad calls get a status and touch no byte beyond the lengths given.
TEST_P(JournalTest, BadJournalCallsGetAStatus) {
    const std::string missing = path("missing.dat");
    const struct {
        std::uint16_t command;
        const char* name;
        std::uint32_t requestLength, capacity;
        std::int16_t expected;
    } cases[] = {
        {0, file.c_str(), 32, 48, B_INVALID_OPERATION},
        {BTR_JOURNAL_PRUNE_KEEP + 1, file.c_str(), 32, 48, B_INVALID_OPERATION},
        {BTR_JOURNAL_STATUS, nullptr, 0, 48, B_INVALID_FILE_NAME},
        {BTR_JOURNAL_STATUS, "", 0, 48, B_INVALID_FILE_NAME},
        {BTR_JOURNAL_STATUS, missing.c_str(), 0, 48, B_FILE_NOT_FOUND},
        {BTR_JOURNAL_READ, file.c_str(), 31, 48, B_DATA_BUFFER_TOO_SHORT},
        {BTR_JOURNAL_PRUNE_BEFORE, file.c_str(), 7, 48, B_DATA_BUFFER_TOO_SHORT},
        {BTR_JOURNAL_STATUS, file.c_str(), 0, 47, B_DATA_BUFFER_TOO_SHORT},
        {BTR_JOURNAL_READ, file.c_str(), 32, 15, B_DATA_BUFFER_TOO_SHORT},
    };
    std::array<std::uint8_t, BTR_JOURNAL_QUERY_SIZE> request{};
    Bytes answer(BTR_JOURNAL_STATUS_SIZE + 8, 0xee);
    for (const auto& c : cases) {
        std::uint32_t length = c.capacity;
        EXPECT_EQ(BTRJOURNAL(c.command, c.name, request.data(), c.requestLength, answer.data(), &length), c.expected);
    }
    EXPECT_TRUE(std::all_of(answer.begin(), answer.end(), [](std::uint8_t b) { return b == 0xee; }));
    EXPECT_EQ(BTRJOURNAL(BTR_JOURNAL_READ, file.c_str(), nullptr, 32, nullptr, nullptr), B_DATA_BUFFER_TOO_SHORT);
    EXPECT_EQ(BTRJOURNAL(BTR_JOURNAL_STATUS, file.c_str(), nullptr, 0, nullptr, nullptr), B_DATA_BUFFER_TOO_SHORT);
    EXPECT_EQ(BTRJOURNAL(BTR_JOURNAL_OFF, file.c_str(), nullptr, 0, nullptr, nullptr), B_NO_ERROR);
}

using JournalServerTest = JournalTest;
INSTANTIATE_TEST_SUITE_P(Engines, JournalServerTest, ::testing::Values(Engine::Server),
                         [](const auto&) { return std::string("Server"); });

// On a server a role that may read a file's records may read its journal,
// and no other role may; a role that may change the records is journaled
// under its login without a right of its own on the journal; switching and
// pruning are for whoever owns the tables.
TEST_P(JournalServerTest, WhoMayReadTheJournalIsWhoMayReadTheRecords) {
    write(B_INSERT, 1);
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    const std::string& s = schema_->name();
    const std::string reader = "reader_" + s, writer = "writer_" + s, stranger = "stranger_" + s;
    const std::string roles = reader + ", " + writer + ", " + stranger;
    ASSERT_TRUE(schema_->sql("CREATE ROLE " + reader + " LOGIN; CREATE ROLE " + writer + " LOGIN; CREATE ROLE " +
                             stranger + " LOGIN; GRANT USAGE ON SCHEMA " + s + " TO " + roles +
                             "; GRANT SELECT ON wbtrv_files, wbtrv_keys TO " + roles +
                             "; GRANT SELECT ON wbtrv_data_1 TO " + reader +
                             "; GRANT SELECT, INSERT, UPDATE, DELETE ON wbtrv_data_1 TO " + writer));
    const auto as = [&](const std::string& role) {
        setenv("WBTRV32_SERVER", (schema_->connection() + " user=" + role).c_str(), 1);
    };
    std::uint64_t removed = 0;
    as(writer);
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    write(B_INSERT, 2);
    BTRCALL(B_RESET, block.data(), nullptr, nullptr, nullptr, 0, 0);
    EXPECT_EQ(journal().front().user, writer);
    EXPECT_EQ(client::switchJournal(file, false), B_ACCESS_DENIED);
    EXPECT_EQ(client::pruneJournalKeeping(file, 0, removed), B_ACCESS_DENIED);
    as(reader);
    EXPECT_EQ(journal().size(), 2u);
    EXPECT_EQ(client::switchJournal(file, false), B_ACCESS_DENIED);
    as(stranger);
    Entries entries;
    EXPECT_EQ(client::readJournal(file, {}, entries), B_ACCESS_DENIED);
    client::JournalState ignored;
    EXPECT_EQ(client::journalState(file, ignored), B_ACCESS_DENIED);
    EXPECT_TRUE(schema_->sql("DROP OWNED BY " + roles + "; DROP ROLE " + roles));
}

// A journal as 0.4.1 made it, one trigger run for every row, keeps journaling
// and reads as on; switching it on gives it this version's triggers, run once
// per statement, and keeps its entries.
TEST_P(JournalServerTest, AnEarlierPerRowJournalIsMadeCurrentWhenSwitchedOn) {
    write(B_INSERT, 1);
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    const std::string rowLevel =
        "SELECT count(*) FILTER (WHERE tgtype & 1 = 1) || '/' || count(*) FROM pg_trigger"
        " WHERE tgrelid = 'wbtrv_data_1'::regclass AND tgname LIKE 'wbtrv_journal%'";
    ASSERT_TRUE(schema_->sql(
        "DROP TRIGGER wbtrv_journal ON wbtrv_data_1; DROP TRIGGER wbtrv_journal_update ON wbtrv_data_1;"
        " DROP TRIGGER wbtrv_journal_delete ON wbtrv_data_1;"
        " CREATE OR REPLACE FUNCTION wbtrv_journal_write_1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
        " INSERT INTO wbtrv_journal_1(time, login_role, client_address, application_name, operation, record, before,"
        " after) SELECT greatest(floor(extract(epoch FROM clock_timestamp()) * 1000000)::bigint, coalesce(max(time),"
        " 0)), session_user, '', 'per row', CASE TG_OP WHEN 'INSERT' THEN 2 WHEN 'UPDATE' THEN 3 ELSE 4 END,"
        " CASE TG_OP WHEN 'DELETE' THEN OLD.id ELSE NEW.id END, CASE TG_OP WHEN 'INSERT' THEN NULL ELSE OLD.data END,"
        " CASE TG_OP WHEN 'DELETE' THEN NULL ELSE NEW.data END FROM wbtrv_journal_1; RETURN NULL; END $$;"
        " CREATE TRIGGER wbtrv_journal AFTER INSERT OR UPDATE OR DELETE ON wbtrv_data_1 FOR EACH ROW"
        " EXECUTE FUNCTION wbtrv_journal_write_1()"));
    std::string triggers;
    ASSERT_TRUE(schema_->sql(rowLevel, &triggers));
    EXPECT_EQ(triggers, "1/1");
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    write(B_INSERT, 2);
    EXPECT_TRUE(state().on);
    EXPECT_EQ(journal().front().program, "per row");
    BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0);
    ASSERT_EQ(client::switchJournal(file, true), B_NO_ERROR);
    ASSERT_TRUE(schema_->sql(rowLevel, &triggers));
    EXPECT_EQ(triggers, "0/3");
    ASSERT_EQ(openFile(block, file), B_NO_ERROR);
    write(B_UPDATE, 2);
    const Entries entries = journal();
    ASSERT_EQ(entries.size(), 3u) << "each change once, the earlier entries kept";
    EXPECT_EQ(entries[0].operation, B_UPDATE);
    EXPECT_EQ(entries[0].program, schema_->name());
    EXPECT_EQ(entries[1].program, "per row");
}

}  // namespace
}  // namespace btrieve_test
