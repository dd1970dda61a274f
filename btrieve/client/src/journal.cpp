// The client's calls of the journal of changes, over BTRJOURNAL, and the
// decoding of its answers, which trusts no length it has not checked.
#include <wbtrv32/bytes.h>
#include <wbtrv32/client.h>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace wbtrv::client {
namespace {

// Room for a thousand entries of a long record, so one record's whole history
// is mostly one call, and for any one entry after one retry; a read that goes
// on takes larger answers, so a long journal costs few calls. The answer is
// not cleared first: its pages are touched only as far as BTRJOURNAL writes.
constexpr std::uint32_t kFirstAnswer = 1024 * 1024;
constexpr std::uint32_t kLargestAnswer = 4 * 1024 * 1024;

std::string textAt(std::span<const std::uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

// The query from the entry after `cursor` on, at most `most` entries (0: as many as fit).
std::array<std::uint8_t, BTR_JOURNAL_QUERY_SIZE> requestOf(const JournalQuery& query, std::uint64_t cursor,
                                                           std::size_t most) {
    std::array<std::uint8_t, BTR_JOURNAL_QUERY_SIZE> request{};
    std::uint16_t flags = query.order == JournalOrder::OldestFirst ? BTR_JOURNAL_OLDEST_FIRST : 0;
    if (query.record) flags |= BTR_JOURNAL_ONE_RECORD;
    if (query.sinceTime) flags |= BTR_JOURNAL_SINCE_TIME;
    writeLittleEndian(request.data(), 2, flags);
    writeLittleEndian(request.data() + 4, 4, std::min<std::size_t>(most, std::numeric_limits<std::uint32_t>::max()));
    writeLittleEndian(request.data() + 8, 8, static_cast<std::uint64_t>(query.record.value_or(0)));
    const std::uint64_t since =
        query.sinceTime ? static_cast<std::uint64_t>(*query.sinceTime) : query.sinceSequence.value_or(0);
    writeLittleEndian(request.data() + 16, 8, since);
    writeLittleEndian(request.data() + 24, 8, cursor);
    return request;
}

Status journalCommand(std::uint16_t command, const std::string& file, std::uint64_t argument, std::uint64_t* answer) {
    std::array<std::uint8_t, 8> request{}, out{};
    writeLittleEndian(request.data(), 8, argument);
    std::uint32_t length = out.size();
    const Status status = BTRJOURNAL(command, file.c_str(), request.data(), request.size(), out.data(), &length);
    if (answer) *answer = status == B_NO_ERROR && length == out.size() ? readLittleEndian(out.data(), 8) : 0;
    return status;
}

// Reads entries into `each` until it takes no more, `most` of them have been
// read (0: no bound) or the journal ends.
Status readEntries(const std::string& file, const JournalQuery& query, std::size_t most,
                   const std::function<bool(JournalEntry&& entry)>& each) {
    std::uint32_t capacity = kFirstAnswer;
    auto answer = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    std::uint64_t cursor = 0;
    for (std::size_t read = 0;;) {
        const auto request = requestOf(query, cursor, most == 0 ? 0 : most - read);
        std::uint32_t length = capacity;
        Status status =
            BTRJOURNAL(BTR_JOURNAL_READ, file.c_str(), request.data(), request.size(), answer.get(), &length);
        if (status == B_DATA_BUFFER_TOO_SHORT && length > capacity) {
            answer = std::make_unique_for_overwrite<std::uint8_t[]>(capacity = length);
            continue;
        }
        if (status != B_NO_ERROR) return status;
        JournalBatch batch;
        if (!decodeJournalAnswer(std::span(answer.get(), std::min(length, capacity)), batch)) return B_IO_ERROR;
        for (JournalEntry& entry : batch.entries)
            if (!each(std::move(entry)) || ++read == most) return B_NO_ERROR;
        if (!batch.more) return B_NO_ERROR;
        cursor = batch.next;
        if (capacity < kLargestAnswer)
            answer = std::make_unique_for_overwrite<std::uint8_t[]>(capacity = std::min(capacity * 4, kLargestAnswer));
    }
}

}  // namespace

Position positionOf(std::int64_t record) {
    Position position{};
    const auto value = static_cast<std::uint32_t>(record);
    writeLittleEndian(position.data(), 2, value >> 16);
    writeLittleEndian(position.data() + 2, 2, value & 0xFFFF);
    return position;
}

std::int64_t recordAt(const Position& position) {
    return static_cast<std::int64_t>(readLittleEndian(position.data(), 2) << 16 |
                                     readLittleEndian(position.data() + 2, 2));
}

bool decodeJournalAnswer(std::span<const std::uint8_t> answer, JournalBatch& batch) {
    batch = JournalBatch{};
    if (answer.size() < BTR_JOURNAL_HEADER_SIZE) return false;
    const std::uint64_t count = readLittleEndian(answer.data(), 4);
    batch.more = (readLittleEndian(answer.data() + 4, 4) & BTR_JOURNAL_MORE) != 0;
    batch.next = readLittleEndian(answer.data() + 8, 8);
    std::span<const std::uint8_t> rest = answer.subspan(BTR_JOURNAL_HEADER_SIZE);
    for (std::uint64_t n = 0; n < count; ++n) {
        if (rest.size() < BTR_JOURNAL_ENTRY_SIZE) return false;
        const std::uint8_t* fixed = rest.data();
        const std::uint64_t length = readLittleEndian(fixed, 4);
        const std::uint16_t flags = static_cast<std::uint16_t>(readLittleEndian(fixed + 6, 2));
        const std::uint64_t parts[] = {readLittleEndian(fixed + 32, 2), readLittleEndian(fixed + 34, 2),
                                       readLittleEndian(fixed + 36, 2), readLittleEndian(fixed + 40, 4),
                                       readLittleEndian(fixed + 44, 4)};
        std::uint64_t total = BTR_JOURNAL_ENTRY_SIZE;
        for (const std::uint64_t part : parts) total += part;
        if (total != length || length > rest.size()) return false;
        JournalEntry& entry = batch.entries.emplace_back();
        entry.operation = static_cast<std::uint16_t>(readLittleEndian(fixed + 4, 2));
        entry.damaged = (flags & BTR_JOURNAL_DAMAGED) != 0;
        entry.sequence = readLittleEndian(fixed + 8, 8);
        entry.time = readSignedLittleEndian(fixed + 16, 8);
        entry.record = readSignedLittleEndian(fixed + 24, 8);
        std::span<const std::uint8_t> bytes = rest.subspan(BTR_JOURNAL_ENTRY_SIZE, length - BTR_JOURNAL_ENTRY_SIZE);
        const auto take = [&bytes](std::uint64_t n) {
            const auto part = bytes.first(n);
            bytes = bytes.subspan(n);
            return part;
        };
        entry.user = textAt(take(parts[0]));
        entry.host = textAt(take(parts[1]));
        entry.program = textAt(take(parts[2]));
        const auto before = take(parts[3]), after = take(parts[4]);
        if (flags & BTR_JOURNAL_HAS_BEFORE) entry.before.emplace(before.begin(), before.end());
        if (flags & BTR_JOURNAL_HAS_AFTER) entry.after.emplace(after.begin(), after.end());
        rest = rest.subspan(length);
    }
    return true;
}

Status readJournal(const std::string& file, const JournalQuery& query,
                   const std::function<bool(JournalEntry&& entry)>& each) {
    return readEntries(file, query, 0, each);
}

Status readJournal(const std::string& file, const JournalQuery& query, std::vector<JournalEntry>& entries,
                   std::size_t most) {
    entries.clear();
    return readEntries(file, query, most, [&](JournalEntry&& entry) {
        entries.push_back(std::move(entry));
        return true;
    });
}

Status journalState(const std::string& file, JournalState& state) {
    state = JournalState{};
    std::array<std::uint8_t, BTR_JOURNAL_STATUS_SIZE> answer{};
    std::uint32_t length = answer.size();
    const Status status = BTRJOURNAL(BTR_JOURNAL_STATUS, file.c_str(), nullptr, 0, answer.data(), &length);
    if (status != B_NO_ERROR) return status;
    const auto flags = readLittleEndian(answer.data(), 4);
    state.kept = (flags & BTR_JOURNAL_KEPT) != 0;
    state.on = (flags & BTR_JOURNAL_IS_ON) != 0;
    state.damaged = (flags & BTR_JOURNAL_DAMAGED) != 0;
    state.entries = readLittleEndian(answer.data() + 8, 8);
    state.firstSequence = readLittleEndian(answer.data() + 16, 8);
    state.lastSequence = readLittleEndian(answer.data() + 24, 8);
    state.firstTime = readSignedLittleEndian(answer.data() + 32, 8);
    state.lastTime = readSignedLittleEndian(answer.data() + 40, 8);
    return B_NO_ERROR;
}

Status switchJournal(const std::string& file, bool on) {
    return journalCommand(on ? BTR_JOURNAL_ON : BTR_JOURNAL_OFF, file, 0, nullptr);
}

Status pruneJournalBefore(const std::string& file, std::int64_t time, std::uint64_t& removed) {
    return journalCommand(BTR_JOURNAL_PRUNE_BEFORE, file, static_cast<std::uint64_t>(time), &removed);
}

Status pruneJournalKeeping(const std::string& file, std::uint64_t count, std::uint64_t& removed) {
    return journalCommand(BTR_JOURNAL_PRUNE_KEEP, file, count, &removed);
}

}  // namespace wbtrv::client
