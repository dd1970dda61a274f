// The journal primitives of a file on a server (server_journal.h): its state,
// its entries read a page at a time, switching it and pruning it.
#include "core/layout_rows.h"
#include "server/server_file.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>
#include <limits>

namespace wbtrv {
namespace {

// Rows of entries fetched per round trip: few for the usual short history of
// one record, growing for a long read.
constexpr std::int64_t kFirstPage = 32;
constexpr std::int64_t kLargestPage = 4096;

std::int64_t clamped(std::uint64_t value) {
    return static_cast<std::int64_t>(std::min<std::uint64_t>(value, std::numeric_limits<std::int64_t>::max()));
}

std::int64_t integerOrZero(const PgResult& r, int column) { return r.isNull(0, column) ? 0 : r.integerAt(0, column); }

}  // namespace

int ServerFile::journalParts(PgResult& parts) {
    if (const int status = db_.run(journal_.parts, {}, parts); status != B_NO_ERROR) return status;
    mayReadJournal_ = parts.integerAt(0, 2) != 0;
    return *mayReadJournal_ ? B_NO_ERROR : B_ACCESS_DENIED;
}

int ServerFile::journalState(JournalState& out) {
    out = JournalState{};
    out.kept = layout_.journalKept;
    if (!out.kept) return B_NO_ERROR;
    PgResult r;
    if (const int status = journalParts(r); status != B_NO_ERROR) return status;
    const bool triggered = !r.isNull(0, 0), viewed = r.integerAt(0, 1) != 0;
    out.damaged = journalDamaged_ || !triggered || !viewed;
    out.on = !out.damaged && r.textAt(0, 0) != "D";
    if (!viewed) return B_NO_ERROR;
    // A damaged journal is reported as such, with whatever of it can be counted.
    if (const int status = db_.run(journal_.counts, {}, r); status != B_NO_ERROR)
        return out.damaged && status != B_SERVER_LOST ? B_NO_ERROR : status;
    setRange(out, integerOrZero(r, 0), integerOrZero(r, 1));
    out.firstTime = integerOrZero(r, 2);
    out.lastTime = integerOrZero(r, 3);
    return B_NO_ERROR;
}

int ServerFile::readJournal(const JournalQuery& query, const JournalSink& sink) {
    if (!layout_.journalKept) return B_NO_ERROR;
    PgResult r;
    // The view shows a role that may not read the records no entry; it is told so.
    if (!mayReadJournal_)
        if (const int status = journalParts(r); status != B_NO_ERROR) return status;
    if (!*mayReadJournal_) return B_ACCESS_DENIED;
    std::int64_t since = query.since;
    if (query.sinceTime) {
        if (const int status = db_.run(journal_.firstSince, PgParams().integer(query.since), r); status != B_NO_ERROR)
            return status;
        if (r.rows() == 0) return B_NO_ERROR;  // nothing that recent
        since = r.integerAt(0, 0);
    }
    const Prepared& statement = query.oldestFirst ? (query.record ? journal_.oldestOfRecord : journal_.oldest)
                                                  : (query.record ? journal_.newestOfRecord : journal_.newest);
    std::int64_t cursor =
        !query.oldestFirst && query.cursor == 0 ? std::numeric_limits<std::int64_t>::max() : clamped(query.cursor);
    for (std::int64_t page = kFirstPage;; page = std::min(page * 4, kLargestPage)) {
        PgParams params;
        params.integer(cursor).integer(since).integer(page);
        if (query.record) params.integer(*query.record);
        if (const int status = db_.run(statement, params, r); status != B_NO_ERROR) return status;
        for (int row = 0; row < r.rows(); ++row) {
            if (!sink(journalEntryAt(r, row, layout_))) return B_NO_ERROR;
            cursor = r.integerAt(row, 0);
        }
        if (r.rows() < page) return B_NO_ERROR;
    }
}

int ServerFile::changeJournal(const std::function<int()>& change) {
    if (readOnly_) return B_ACCESS_DENIED;
    int status = db_.run("BEGIN");
    if (status == B_NO_ERROR) status = change();
    if (status == B_NO_ERROR) status = db_.run("COMMIT");
    if (db_.inTransaction()) db_.run("ROLLBACK");
    return status;
}

// A file without a journal, or with a damaged one, gets what it lacks (and
// the format of a file with a journal) in the transaction that switches it;
// switching on also makes the triggers of a journal an earlier version made
// (one trigger run for every row) those of this version.
int ServerFile::switchJournal(bool on) {
    if (readOnly_) return B_ACCESS_DENIED;
    JournalState state;
    if (const int status = journalState(state); status != B_NO_ERROR) return status;
    PgResult r;
    if (on && state.kept && !state.damaged)
        if (const int status = db_.run(nullptr, journal_.triggersCurrent, {}, r); status != B_NO_ERROR) return status;
    const bool making = !state.kept || state.damaged || (on && (r.rows() != 1 || r.integerAt(0, 0) == 0));
    if (!state.kept && !on) return B_NO_ERROR;
    const int status = changeJournal([&] {
        int status = making ? makeServerJournal(db_, number_) : B_NO_ERROR;
        if (status == B_NO_ERROR && !state.kept)
            status = db_.run(nullptr, "UPDATE wbtrv_files SET version = $1 WHERE id = $2",
                             PgParams().integer4(kFormatVersion).integer(number_), r);
        return status == B_NO_ERROR ? db_.run(on ? journal_.enable : journal_.disable) : status;
    });
    if (status == B_NO_ERROR) {
        layout_.journalKept = true;
        journalDamaged_ = false;
    }
    return status;
}

int ServerFile::pruneJournal(const JournalPrune& prune, std::uint64_t& removed) {
    removed = 0;
    if (readOnly_) return B_ACCESS_DENIED;
    if (!layout_.journalKept) return B_NO_ERROR;
    PgResult r;
    const int status = prune.keepNewest ? db_.run(journal_.pruneKeeping, PgParams().integer(clamped(prune.count)), r)
                                        : db_.run(journal_.pruneBefore, PgParams().integer(prune.before), r);
    if (status == B_NO_ERROR) removed = static_cast<std::uint64_t>(r.changedRows());
    return status;
}

}  // namespace wbtrv
