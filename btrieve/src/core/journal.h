// The journal of changes a data file keeps: every committed Insert, Update
// and Delete, in the same commit as the change, with who made it and when.
// What one entry holds, what a reader asks for, and the journal's state, as
// every engine answers them.
#pragma once

#include "core/file_layout.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wbtrv {

struct JournalEntry {
    std::uint64_t sequence = 0;  // increasing per file, from 1
    std::int64_t time = 0;       // microseconds since 1970-01-01 00:00 UTC
    // Who: on files the operating-system user, the host name and the
    // program's name; on a server the login role, the client's address and
    // the connection's application name.
    std::string user, host, program;
    std::uint16_t operation = 0;  // B_INSERT, B_UPDATE or B_DELETE
    std::int64_t record = 0;      // the record's position (its id)
    std::optional<std::vector<std::uint8_t>> before, after;
    // Some field of the stored entry was not of its kind; those are left empty.
    bool damaged = false;
};

// Which entries a reader wants: newest first or oldest first, all or one
// record's, from a lower bound on, continuing past a sequence number.
struct JournalQuery {
    bool oldestFirst = false;
    std::optional<std::int64_t> record;
    bool sinceTime = false;    // `since` is a time, else a sequence number
    std::int64_t since = 0;    // the first sequence number (or time) included
    std::uint64_t cursor = 0;  // 0, or the last sequence number already read
};

// Takes the entries in order; false when it takes no more (this one included).
using JournalSink = std::function<bool(const JournalEntry&)>;

struct JournalState {
    bool kept = false;  // the file has a journal (files of earlier versions have none)
    bool on = false;    // changes are journaled
    // The journal's tables are not as the record manager makes them: no
    // write can be journaled, so every write is refused.
    bool damaged = false;
    // The numbers from the first to the last entry: on files exactly the
    // entries, as numbers follow one another and a prune drops the oldest;
    // on a server, where an undone transaction may leave a gap, at most so
    // many. Counting a long journal's rows would read all of them.
    std::uint64_t entries = 0;
    std::uint64_t firstSequence = 0, lastSequence = 0;
    std::int64_t firstTime = 0, lastTime = 0;
};

// The first and last sequence numbers of the state, and the entries between
// them; none where the journal holds no entry (or only damaged numbers).
void setRange(JournalState& state, std::optional<std::int64_t> first, std::optional<std::int64_t> last);

// Which old entries a prune drops: those before a time, or all but the newest `count`.
struct JournalPrune {
    bool keepNewest = false;
    std::int64_t before = 0;
    std::uint64_t count = 0;
};

// Who and what may be longer than this in a sound entry.
constexpr std::size_t kMaxWhoLength = 255;

// One stored entry as an engine reads it: a field is empty where its column
// does not hold a value of its kind (an image: where it holds neither bytes
// nor NULL).
struct JournalRow {
    std::optional<std::int64_t> sequence, time, operation, record;
    std::optional<std::string> user, host, program;
    std::optional<std::vector<std::uint8_t>> before, after;
    bool imagesReadable = true;
};

// The entry a stored row makes, checked: operation and images agree (an
// Insert has no before image, a Delete no after image), images are records
// of the file's length, who is of a sound length. Damage is flagged, never
// trusted.
JournalEntry journalEntryFrom(JournalRow row, const FileLayout& layout);

}  // namespace wbtrv
