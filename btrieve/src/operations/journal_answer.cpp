#include "operations/journal_answer.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <algorithm>

namespace wbtrv {
namespace {

std::uint64_t entryLength(const JournalEntry& entry) {
    return std::uint64_t{BTR_JOURNAL_ENTRY_SIZE} + entry.user.size() + entry.host.size() + entry.program.size() +
           (entry.before ? entry.before->size() : 0) + (entry.after ? entry.after->size() : 0);
}

std::uint8_t* put(std::uint8_t* out, std::span<const std::uint8_t> bytes) {
    return std::copy(bytes.begin(), bytes.end(), out);
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void writeEntry(const JournalEntry& entry, std::uint32_t length, std::uint8_t* out) {
    std::uint16_t flags = entry.damaged ? BTR_JOURNAL_DAMAGED : 0;
    if (entry.before) flags |= BTR_JOURNAL_HAS_BEFORE;
    if (entry.after) flags |= BTR_JOURNAL_HAS_AFTER;
    writeLittleEndian(out, 4, length);
    writeLittleEndian(out + 4, 2, entry.operation);
    writeLittleEndian(out + 6, 2, flags);
    writeLittleEndian(out + 8, 8, entry.sequence);
    writeLittleEndian(out + 16, 8, static_cast<std::uint64_t>(entry.time));
    writeLittleEndian(out + 24, 8, static_cast<std::uint64_t>(entry.record));
    writeLittleEndian(out + 32, 2, entry.user.size());
    writeLittleEndian(out + 34, 2, entry.host.size());
    writeLittleEndian(out + 36, 2, entry.program.size());
    writeLittleEndian(out + 38, 2, 0);
    writeLittleEndian(out + 40, 4, entry.before ? entry.before->size() : 0);
    writeLittleEndian(out + 44, 4, entry.after ? entry.after->size() : 0);
    out += BTR_JOURNAL_ENTRY_SIZE;
    for (const std::string* text : {&entry.user, &entry.host, &entry.program}) out = put(out, bytesOf(*text));
    if (entry.before) out = put(out, *entry.before);
    if (entry.after) put(out, *entry.after);
}

}  // namespace

JournalAnswer::JournalAnswer(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t mostEntries)
    : buffer_(buffer), capacity_(capacity), mostEntries_(mostEntries), used_(BTR_JOURNAL_HEADER_SIZE) {}

bool JournalAnswer::add(const JournalEntry& entry) {
    const std::uint64_t length = entryLength(entry);
    if ((mostEntries_ != 0 && entries_ == mostEntries_) || used_ + length > capacity_) {
        if (entries_ == 0) needed_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(used_ + length, UINT32_MAX));
        more_ = true;
        return false;
    }
    writeEntry(entry, static_cast<std::uint32_t>(length), buffer_ + used_);
    used_ += static_cast<std::uint32_t>(length);
    ++entries_;
    next_ = entry.sequence;
    return true;
}

int JournalAnswer::finish(std::uint32_t& length) {
    if (capacity_ < BTR_JOURNAL_HEADER_SIZE) {
        length = needed_ != 0 ? needed_ : BTR_JOURNAL_HEADER_SIZE;
        return B_DATA_BUFFER_TOO_SHORT;
    }
    writeLittleEndian(buffer_, 4, entries_);
    writeLittleEndian(buffer_ + 4, 4, more_ ? BTR_JOURNAL_MORE : 0);
    writeLittleEndian(buffer_ + 8, 8, next_);
    if (needed_ != 0) {
        length = needed_;
        return B_DATA_BUFFER_TOO_SHORT;
    }
    length = used_;
    return B_NO_ERROR;
}

void writeJournalState(const JournalState& state, std::uint8_t* out) {
    std::uint32_t flags = 0;
    if (state.kept) flags |= BTR_JOURNAL_KEPT;
    if (state.on) flags |= BTR_JOURNAL_IS_ON;
    if (state.damaged) flags |= BTR_JOURNAL_DAMAGED;
    writeLittleEndian(out, 4, flags);
    writeLittleEndian(out + 4, 4, 0);
    writeLittleEndian(out + 8, 8, state.entries);
    writeLittleEndian(out + 16, 8, state.firstSequence);
    writeLittleEndian(out + 24, 8, state.lastSequence);
    writeLittleEndian(out + 32, 8, static_cast<std::uint64_t>(state.firstTime));
    writeLittleEndian(out + 40, 8, static_cast<std::uint64_t>(state.lastTime));
}

}  // namespace wbtrv
