#include "server/server_journal.h"

#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {
namespace {

constexpr const char* kColumns =
    "seq, time, login_role, client_address, application_name, operation::bigint, record, before, after";

std::string journalTable(std::int64_t id) { return "wbtrv_journal_" + std::to_string(id); }
std::string journalView(std::int64_t id) { return "wbtrv_journal_view_" + std::to_string(id); }
std::string journalFunction(std::int64_t id) { return "wbtrv_journal_write_" + std::to_string(id); }

std::string quotedIdentifier(const std::string& name) {
    std::string out = "\"";
    for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// The journal's triggers: one per kind of change, each once per statement,
// which sees the statement's rows in its transition tables (a trigger with
// those can serve one kind only). A statement's entries are written by one
// INSERT ... SELECT, which costs far less for the many rows of a COPY than a
// call per row.
struct JournalTrigger {
    const char* name;
    const char* event;
    const char* transitionTables;
};
constexpr JournalTrigger kTriggers[] = {
    {"wbtrv_journal", "INSERT", "NEW TABLE AS wbtrv_new"},
    {"wbtrv_journal_update", "UPDATE", "OLD TABLE AS wbtrv_old NEW TABLE AS wbtrv_new"},
    {"wbtrv_journal_delete", "DELETE", "OLD TABLE AS wbtrv_old"},
};

// The entries of one statement's rows, in the order of their records: all
// of the same time, never before the last entry's.
std::string entriesSql(const std::string& journal, int operation, const std::string& rows, const std::string& before,
                       const std::string& after) {
    return "INSERT INTO " + journal +
           "(time, login_role, client_address, application_name, operation, record, before, after)"
           " SELECT who.*, " +
           std::to_string(operation) + ", r.id, " + before + ", " + after +
           " FROM (SELECT greatest(floor(extract(epoch FROM clock_timestamp()) * 1000000)::bigint,"
           " coalesce(max(time), 0)), session_user, coalesce(host(inet_client_addr()), ''),"
           " coalesce(current_setting('application_name', true), '') FROM " +
           journal + ") AS who, " + rows + " ORDER BY r.id";
}

// The triggers' function, which runs as the owner of the tables with a
// search path that nothing can be slipped into: the journal's table is
// named with its schema.
std::string functionSql(std::int64_t id, const std::string& schema) {
    const std::string journal = quotedIdentifier(schema) + "." + journalTable(id);
    return "CREATE OR REPLACE FUNCTION " + journalFunction(id) +
           "() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $body$"
           " BEGIN IF TG_OP = 'INSERT' THEN " +
           entriesSql(journal, B_INSERT, "wbtrv_new AS r", "NULL", "r.data") + "; ELSIF TG_OP = 'UPDATE' THEN " +
           entriesSql(journal, B_UPDATE, "wbtrv_old AS r JOIN wbtrv_new AS n ON n.id = r.id", "r.data", "n.data") +
           "; ELSE " + entriesSql(journal, B_DELETE, "wbtrv_old AS r", "r.data", "NULL") +
           "; END IF; RETURN NULL; END $body$";
}

std::string triggerNames() {
    std::string names;
    for (const JournalTrigger& t : kTriggers) names += std::string(names.empty() ? "'" : ", '") + t.name + "'";
    return names;
}

// Runs `action` (ENABLE or DISABLE) on each journal trigger the record table
// has: a journal made by an earlier version has one trigger for every row.
std::string switchTriggersSql(Oid table, const std::string& action) {
    const std::string oid = std::to_string(table) + "::oid";
    return "DO $switch$ DECLARE t name; BEGIN FOR t IN SELECT tgname FROM pg_trigger WHERE tgrelid = " + oid +
           " AND tgname IN (" + triggerNames() + ") LOOP EXECUTE format('ALTER TABLE %s " + action + " TRIGGER %I', " +
           oid + "::regclass, t); END LOOP; END $switch$";
}

// The journal's indexes where they are missing: one record's entries by (record,
// seq) in either order from any cursor, and the entries from a time on.
std::string indexesSql(std::int64_t id) {
    const std::string table = journalTable(id);
    return "CREATE INDEX IF NOT EXISTS " + table + "_record ON " + table +
           "(record, seq); CREATE INDEX IF NOT EXISTS " + table + "_time ON " + table + "(time, seq);";
}

}  // namespace

int makeServerJournal(PgConnection& db, std::int64_t id) {
    PgResult r;
    int status =
        db.run(nullptr, "SELECT current_schema(), to_regclass($1)::oid::bigint", PgParams().text(recordTable(id)), r);
    if (status != B_NO_ERROR) return status;
    if (r.rows() != 1 || r.isNull(0, 0) || r.isNull(0, 1)) return B_IO_ERROR;
    const std::string schema = r.textAt(0, 0), table = journalTable(id), view = journalView(id);
    const std::string dataTable = std::to_string(r.integerAt(0, 1));
    std::string triggers;
    for (const JournalTrigger& t : kTriggers)
        triggers += std::string("DROP TRIGGER IF EXISTS ") + t.name + " ON " + recordTable(id) + "; CREATE TRIGGER " +
                    t.name + " AFTER " + t.event + " ON " + recordTable(id) + " REFERENCING " + t.transitionTables +
                    " FOR EACH STATEMENT EXECUTE FUNCTION " + journalFunction(id) + "();";
    // The view checks the record table by its oid, so the record table does
    // not depend on it and can be dropped as before.
    return db.run("CREATE TABLE IF NOT EXISTS " + table +
                  "(seq bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, time bigint NOT NULL,"
                  " login_role text NOT NULL, client_address text NOT NULL, application_name text NOT NULL,"
                  " operation smallint NOT NULL, record bigint NOT NULL, before bytea, after bytea);" +
                  indexesSql(id) + functionSql(id, schema) + ";" + triggers + "CREATE OR REPLACE VIEW " + view +
                  " AS SELECT * FROM " + table + " WHERE has_table_privilege(" + dataTable +
                  "::oid, 'SELECT'); GRANT SELECT ON " + view + " TO PUBLIC");
}

std::string journalTriggerStateSql(const std::string& table) {
    return "(SELECT CASE WHEN count(*) = " + std::to_string(std::size(kTriggers)) +
           " OR bool_or(tgname = 'wbtrv_journal' AND tgtype & 1 = 1) THEN max(tgenabled::text) FILTER (WHERE tgname ="
           " 'wbtrv_journal') END FROM pg_trigger WHERE tgrelid = " +
           table + " AND tgname IN (" + triggerNames() + "))";
}

std::string dropServerJournalSql(std::int64_t id) {
    return "DROP TABLE IF EXISTS " + journalTable(id) + " CASCADE; DROP FUNCTION IF EXISTS " + journalFunction(id) +
           "()";
}

JournalStatements::JournalStatements(std::int64_t id, Oid table) {
    const std::string prefix = "f" + std::to_string(id) + "_journal_";
    const std::string view = journalView(id);
    const std::string select = std::string("SELECT ") + kColumns + " FROM " + view + " WHERE ";
    const std::string newestFirst = "seq < $1 AND seq >= $2 ORDER BY seq DESC LIMIT $3";
    const std::string oldestFirst = "seq > $1 AND seq >= $2 ORDER BY seq LIMIT $3";
    newest = {prefix + "newest", select + newestFirst};
    newestOfRecord = {prefix + "newest_of_record", select + "record = $4 AND " + newestFirst};
    oldest = {prefix + "oldest", select + oldestFirst};
    oldestOfRecord = {prefix + "oldest_of_record", select + "record = $4 AND " + oldestFirst};
    firstSince = {prefix + "first_since", "SELECT seq FROM " + view + " WHERE time >= $1 ORDER BY time, seq LIMIT 1"};
    const std::string oid = std::to_string(table) + "::oid";
    parts = {prefix + "parts", "SELECT " + journalTriggerStateSql(oid) + ", to_regclass('" + view +
                                   "') IS NOT NULL, has_table_privilege(" + oid + ", 'SELECT')"};
    counts = {prefix + "counts", "SELECT min(seq), max(seq), (SELECT time FROM " + view +
                                     " ORDER BY seq LIMIT 1), (SELECT time FROM " + view +
                                     " ORDER BY seq DESC LIMIT 1) FROM " + view};
    const std::string journal = journalTable(id);
    pruneBefore = {prefix + "prune_before", "DELETE FROM " + journal + " WHERE time < $1"};
    pruneKeeping = {prefix + "prune_keeping", "DELETE FROM " + journal + " WHERE seq <= coalesce((SELECT seq FROM " +
                                                  journal + " ORDER BY seq DESC OFFSET $1 LIMIT 1), 0)"};
    // An index lost from a journal is made again when it is switched on.
    enable = indexesSql(id) + switchTriggersSql(table, "ENABLE");
    disable = switchTriggersSql(table, "DISABLE");
    triggersCurrent = "SELECT (count(*) = " + std::to_string(std::size(kTriggers)) +
                      ")::int::bigint FROM pg_trigger WHERE tgrelid = " + oid + " AND tgname IN (" + triggerNames() +
                      ") AND tgtype & 1 = 0";
}

JournalEntry journalEntryAt(const PgResult& r, int row, const FileLayout& layout) {
    const auto integer = [&](int column) {
        return r.isNull(row, column) || r.typeAt(column) != kInt8Oid ? std::nullopt
                                                                     : std::optional(r.integerAt(row, column));
    };
    const auto text = [&](int column) {
        return r.isNull(row, column) || r.typeAt(column) != kTextOid ? std::nullopt
                                                                     : std::optional(r.textAt(row, column));
    };
    JournalRow entry;
    const auto image = [&](int column) -> std::optional<std::vector<std::uint8_t>> {
        if (r.isNull(row, column)) return std::nullopt;
        if (r.typeAt(column) != kByteaOid) {
            entry.imagesReadable = false;
            return std::nullopt;
        }
        const auto bytes = r.bytesAt(row, column);
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    };
    entry.sequence = integer(0);
    entry.time = integer(1);
    entry.user = text(2);
    entry.host = text(3);
    entry.program = text(4);
    entry.operation = integer(5);
    entry.record = integer(6);
    entry.before = image(7);
    entry.after = image(8);
    return journalEntryFrom(std::move(entry), layout);
}

}  // namespace wbtrv
