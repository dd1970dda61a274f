#include "sqlite/sqlite_journal.h"

#include "sqlite/schema.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <limits>
#include <set>

namespace wbtrv {
namespace {

constexpr const char* kColumns = "seq, time, user, host, program, operation, record, before, after";

// Who this process is: the operating-system user, the host and the program.
struct Who {
    std::string user, host, program;
};

std::string cut(std::string text) {
    if (text.size() > kMaxWhoLength) text.resize(kMaxWhoLength);
    return text;
}

Who thisProcess() {
    Who who;
    const uid_t uid = ::geteuid();
    passwd entry{};
    passwd* found = nullptr;
    std::string names(16384, '\0');
    if (::getpwuid_r(uid, &entry, names.data(), names.size(), &found) == 0 && found && found->pw_name)
        who.user = found->pw_name;
    else
        who.user = std::to_string(uid);
    std::string host(256, '\0');
    if (::gethostname(host.data(), host.size() - 1) == 0) who.host = host.c_str();
    who.program = program_invocation_short_name;
    return {cut(who.user), cut(who.host), cut(who.program)};
}

// Text of any bytes as an SQL literal.
std::string literal(const std::string& text) {
    return "CAST(X'" + hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}) + "' AS TEXT)";
}

// The time of a new entry: now, in microseconds since 1970 UTC.
void journalTime(sqlite3_context* context, int, sqlite3_value**) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    sqlite3_result_int64(context, std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

// One trigger per operation: the entry's sequence number follows the highest
// given (also one pruned since), its time is never before the last entry's,
// and the journal is on unless its state says off.
std::string triggersSql(const Who& who) {
    // The highest pruned counts only while no entry is left: a prune keeps the newest.
    const std::string next =
        "coalesce((SELECT max(seq) FROM main.journal_t),"
        " (SELECT max(CAST(pruned_through AS INTEGER)) FROM main.journal_state_t), 0) + 1";
    // Times never go back along the numbers, so the last entry has the latest (a damaged one counts as none).
    const std::string time =
        "CAST(max(wbtrv_journal_time(), coalesce((SELECT CASE WHEN typeof(time) = 'integer' THEN time END"
        " FROM main.journal_t ORDER BY seq DESC LIMIT 1), 0)) AS INTEGER)";
    const std::string values =
        next + ", " + time + ", " + literal(who.user) + ", " + literal(who.host) + ", " + literal(who.program) + ", ";
    const struct {
        const char* event;
        int operation;
        const char* record;
        const char* images;
    } triggers[] = {
        {"INSERT", B_INSERT, "NEW.id", "NULL, NEW.data"},
        {"UPDATE", B_UPDATE, "NEW.id", "OLD.data, NEW.data"},
        {"DELETE", B_DELETE, "OLD.id", "OLD.data, NULL"},
    };
    std::string sql;
    for (const auto& t : triggers)
        sql += std::string("CREATE TEMP TRIGGER IF NOT EXISTS wbtrv_journal_") + t.event + " AFTER " + t.event +
               " ON main.data_t WHEN NOT EXISTS (SELECT 1 FROM main.journal_state_t WHERE enabled = 0)"
               " BEGIN INSERT INTO journal_t(" +
               kColumns + ") VALUES(" + values + std::to_string(t.operation) + ", " + t.record + ", " + t.images +
               "); END;";
    return sql;
}

// The columns of a table, as a set of names; the SQLite code when the
// schema could not be read (busy, I/O), which says nothing of its shape.
int columnsOf(sqlite3* db, const char* table, std::set<std::string>& names) {
    Statement st;
    int rc = st.prepare(db, std::string("SELECT name FROM pragma_table_info('") + table + "')");
    if (rc != SQLITE_OK) return rc;
    while ((rc = st.step()) == SQLITE_ROW) names.insert(st.textAt(0));
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Whether the journal's tables have their columns; SQLITE_OK with the answer,
// or the code that kept the schema from being read.
int tablesSound(sqlite3* db, bool& sound) {
    const std::set<std::string> entries{"seq",       "time",   "user",   "host", "program",
                                        "operation", "record", "before", "after"};
    const std::set<std::string> state{"enabled", "pruned_through"};
    std::set<std::string> found, foundState;
    int rc = columnsOf(db, "journal_t", found);
    if (rc == SQLITE_OK) rc = columnsOf(db, "journal_state_t", foundState);
    sound = found == entries && foundState == state;
    return rc;
}

std::optional<std::int64_t> integerAt(const Statement& st, int column) {
    return st.typeAt(column) == SQLITE_INTEGER ? std::optional(st.integerAt(column)) : std::nullopt;
}

std::optional<std::string> textAt(const Statement& st, int column) {
    const int type = st.typeAt(column);
    if (type != SQLITE_TEXT && type != SQLITE_BLOB) return std::nullopt;
    const auto bytes = st.blobAt(column);
    return std::string(bytes.begin(), bytes.end());
}

std::optional<std::vector<std::uint8_t>> imageAt(const Statement& st, int column, bool& readable) {
    const int type = st.typeAt(column);
    if (type == SQLITE_NULL) return std::nullopt;
    if (type != SQLITE_BLOB) {
        readable = false;
        return std::nullopt;
    }
    const auto bytes = st.blobAt(column);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

JournalRow rowOf(const Statement& st) {
    JournalRow row;
    row.sequence = integerAt(st, 0);
    row.time = integerAt(st, 1);
    row.user = textAt(st, 2);
    row.host = textAt(st, 3);
    row.program = textAt(st, 4);
    row.operation = integerAt(st, 5);
    row.record = integerAt(st, 6);
    row.before = imageAt(st, 7, row.imagesReadable);
    row.after = imageAt(st, 8, row.imagesReadable);
    return row;
}

std::int64_t clamped(std::uint64_t value) {
    return static_cast<std::int64_t>(std::min<std::uint64_t>(value, std::numeric_limits<std::int64_t>::max()));
}

// The status of a SQLite failure: what the code says, 2 where it says nothing.
int failureStatus(int rc) { return statusFromSqlite(rc) == B_NO_ERROR ? B_IO_ERROR : statusFromSqlite(rc); }

}  // namespace

std::string journalIndexesSql() {
    // seq is the table's rowid, so the index on the record is ordered by (record, seq): one
    // record's entries are read from it in either order, from any cursor, without a scan.
    // Times need none: they never go back along the numbers, so a time is found by a
    // search of the numbers, and each write updates one index less.
    return "CREATE INDEX IF NOT EXISTS journal_record_i ON journal_t(record);";
}

std::string journalTablesSql() {
    return "CREATE TABLE IF NOT EXISTS journal_t(seq INTEGER PRIMARY KEY, time INTEGER NOT NULL, user TEXT NOT NULL,"
           " host TEXT NOT NULL, program TEXT NOT NULL, operation INTEGER NOT NULL, record INTEGER NOT NULL,"
           " before BLOB, after BLOB);" +
           journalIndexesSql() +
           "CREATE TABLE IF NOT EXISTS journal_state_t(enabled INTEGER NOT NULL, pruned_through INTEGER NOT NULL);"
           "INSERT INTO journal_state_t SELECT 1, 0 WHERE NOT EXISTS (SELECT 1 FROM journal_state_t);";
}

int SqliteJournal::check() {
    if (checked_) return SQLITE_OK;
    bool sound = false;
    const int rc = tablesSound(db_.get(), sound);
    // Only a schema that was read is judged; a busy or failing read is asked again next time.
    if (rc == SQLITE_OK) checked_ = true, damaged_ = !sound;
    return rc;
}

bool SqliteJournal::damaged() { return check() == SQLITE_OK && damaged_; }

int SqliteJournal::readyToWrite() {
    if (installed_) return B_NO_ERROR;
    if (const int rc = check(); rc != SQLITE_OK) return failureStatus(rc);
    if (damaged_ || !sqlite3_get_autocommit(db_.get())) return B_IO_ERROR;
    damaged_ = sqlite3_create_function_v2(db_.get(), "wbtrv_journal_time", 0, SQLITE_UTF8, nullptr, &journalTime,
                                          nullptr, nullptr, nullptr) != SQLITE_OK;
    if (damaged_) return B_IO_ERROR;
    // Triggers that could not be made now (the schema busy) are tried again at the next write.
    if (const int rc = db_.exec(triggersSql(thisProcess())); rc != SQLITE_OK) return failureStatus(rc);
    installed_ = true;
    return B_NO_ERROR;
}

int SqliteJournal::run(Statement& st, const std::string& sql) {
    if (!st.prepared() && st.prepare(db_.get(), sql) != SQLITE_OK) return B_IO_ERROR;
    return B_NO_ERROR;
}

int SqliteJournal::state(JournalState& out) {
    StatementUse use(state_);
    if (run(state_,
            // Each a search of the primary key: SQLite reads min() and max() asked together by a scan.
            "SELECT (SELECT seq FROM journal_t ORDER BY seq LIMIT 1), (SELECT seq FROM journal_t ORDER BY seq DESC"
            " LIMIT 1), (SELECT time FROM journal_t ORDER BY seq LIMIT 1),"
            " (SELECT time FROM journal_t ORDER BY seq DESC LIMIT 1),"
            " NOT EXISTS (SELECT 1 FROM journal_state_t WHERE enabled = 0)") != B_NO_ERROR)
        return B_IO_ERROR;
    const int rc = state_.step();
    if (rc != SQLITE_ROW) return failureStatus(rc);
    setRange(out, integerAt(state_, 0), integerAt(state_, 1));
    out.firstTime = integerAt(state_, 2).value_or(0);
    out.lastTime = integerAt(state_, 3).value_or(0);
    out.on = !damaged() && state_.integerAt(4) != 0;
    return B_NO_ERROR;
}

// A search of the numbers from the first entry to the last for the lowest
// whose next entry (the first at or after it, by the primary key) is of
// `time` or later: that next entry's time only grows with the number.
int SqliteJournal::firstSince(std::int64_t time, std::optional<std::int64_t>& sequence) {
    JournalState range;
    if (const int status = state(range); status != B_NO_ERROR) return status;
    if (range.entries == 0) return B_NO_ERROR;
    if (run(firstSince_, "SELECT seq, time FROM journal_t WHERE seq >= ?1 ORDER BY seq LIMIT 1") != B_NO_ERROR)
        return B_IO_ERROR;
    std::int64_t found = 0, at = 0;
    // The entry at or after `number`, and its time (a damaged one counts as 0); false when the read failed.
    const auto probe = [&](std::int64_t number) {
        StatementUse use(firstSince_);
        firstSince_.bindInteger(1, number);
        if (firstSince_.step() != SQLITE_ROW) return false;
        found = firstSince_.integerAt(0);
        at = firstSince_.typeAt(1) == SQLITE_INTEGER ? firstSince_.integerAt(1) : 0;
        return true;
    };
    auto low = static_cast<std::int64_t>(range.firstSequence), high = static_cast<std::int64_t>(range.lastSequence);
    if (!probe(high)) return B_IO_ERROR;
    if (at < time) return B_NO_ERROR;  // nothing that recent
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (!probe(middle)) return B_IO_ERROR;
        if (at >= time)
            high = middle;
        else
            low = middle + 1;
    }
    if (!probe(low)) return B_IO_ERROR;
    sequence = found;
    return B_NO_ERROR;
}

int SqliteJournal::read(const JournalQuery& query, const FileLayout& layout, const JournalSink& sink) {
    std::optional<std::int64_t> since = query.since;
    if (query.sinceTime) {
        since.reset();
        if (const int status = firstSince(query.since, since); status != B_NO_ERROR) return status;
        if (!since) return B_NO_ERROR;  // nothing that recent
    }
    const std::string select = std::string("SELECT ") + kColumns + " FROM journal_t WHERE ";
    const std::string one = query.record ? "record = ?3 AND " : "";
    Statement& st =
        query.oldestFirst ? (query.record ? oldestOfRecord_ : oldest_) : (query.record ? newestOfRecord_ : newest_);
    const std::string sql = query.oldestFirst ? select + one + "seq > ?1 AND seq >= ?2 ORDER BY seq"
                                              : select + one + "seq < ?1 AND seq >= ?2 ORDER BY seq DESC";
    StatementUse use(st);
    if (run(st, sql) != B_NO_ERROR) return B_IO_ERROR;
    const bool fromNewest = !query.oldestFirst && query.cursor == 0;
    st.bindInteger(1, fromNewest ? std::numeric_limits<std::int64_t>::max() : clamped(query.cursor));
    st.bindInteger(2, *since);
    if (query.record) st.bindInteger(3, *query.record);
    int rc = SQLITE_ROW;
    while ((rc = st.step()) == SQLITE_ROW)
        if (!sink(journalEntryFrom(rowOf(st), layout))) return B_NO_ERROR;
    return rc == SQLITE_DONE ? B_NO_ERROR : B_IO_ERROR;
}

int SqliteJournal::switchOn(bool on) {
    const std::string flag = on ? "1" : "0";
    const std::string sql = "UPDATE journal_state_t SET enabled = " + flag + "; INSERT INTO journal_state_t SELECT " +
                            flag + ", 0 WHERE NOT EXISTS (SELECT 1 FROM journal_state_t)";
    return statusFromSqlite(db_.exec(sql));
}

int SqliteJournal::prune(const JournalPrune& prune, std::uint64_t& removed) {
    removed = 0;
    // Numbers already given stay given: the next entry follows the highest pruned.
    if (const int rc = db_.exec("UPDATE journal_state_t SET pruned_through = max(CAST(pruned_through AS INTEGER),"
                                " coalesce((SELECT max(seq) FROM journal_t), 0))");
        rc != SQLITE_OK)
        return statusFromSqlite(rc);
    Statement st;
    // Entries before a time are those before the first entry of that time or later.
    std::optional<std::int64_t> first;
    if (!prune.keepNewest)
        if (const int status = firstSince(prune.before, first); status != B_NO_ERROR) return status;
    const char* sql = prune.keepNewest ? "DELETE FROM journal_t WHERE seq <= coalesce((SELECT seq FROM journal_t"
                                         " ORDER BY seq DESC LIMIT 1 OFFSET ?1), 0)"
                                       : "DELETE FROM journal_t WHERE seq < ?1";
    if (const int rc = st.prepare(db_.get(), sql); rc != SQLITE_OK) return statusFromSqlite(rc);
    st.bindInteger(1,
                   prune.keepNewest ? clamped(prune.count) : first.value_or(std::numeric_limits<std::int64_t>::max()));
    const int rc = st.step();
    if (rc != SQLITE_DONE) return failureStatus(rc);
    removed = static_cast<std::uint64_t>(sqlite3_changes64(db_.get()));
    return B_NO_ERROR;
}

}  // namespace wbtrv
