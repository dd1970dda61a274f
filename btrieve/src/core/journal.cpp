#include "core/journal.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {
namespace {

std::string who(std::optional<std::string>& text, bool& damaged) {
    if (!text) {
        damaged = true;
        return {};
    }
    if (text->size() > kMaxWhoLength) {
        damaged = true;
        text->resize(kMaxWhoLength);
    }
    return std::move(*text);
}

// An image the operation calls for, of the record length; anything else is damage.
std::optional<std::vector<std::uint8_t>> image(std::optional<std::vector<std::uint8_t>>& bytes, bool expected,
                                               const FileLayout& layout, bool& damaged) {
    if (bytes.has_value() != expected) damaged = true;
    if (!bytes || !expected) return std::nullopt;
    const bool fits = layout.variableLength ? bytes->size() <= 65535 : bytes->size() == layout.recordLength;
    if (!fits) {
        damaged = true;
        return std::nullopt;
    }
    return std::move(bytes);
}

}  // namespace

void setRange(JournalState& state, std::optional<std::int64_t> first, std::optional<std::int64_t> last) {
    state.entries = state.firstSequence = state.lastSequence = 0;
    if (!first || !last || *first < 1 || *last < *first) return;
    state.firstSequence = static_cast<std::uint64_t>(*first);
    state.lastSequence = static_cast<std::uint64_t>(*last);
    state.entries = state.lastSequence - state.firstSequence + 1;
}

JournalEntry journalEntryFrom(JournalRow row, const FileLayout& layout) {
    JournalEntry entry;
    bool& damaged = entry.damaged;
    damaged = !row.sequence || *row.sequence < 1 || !row.time || !row.record || !row.imagesReadable;
    entry.sequence = row.sequence && *row.sequence > 0 ? static_cast<std::uint64_t>(*row.sequence) : 0;
    entry.time = row.time.value_or(0);
    entry.record = row.record.value_or(0);
    entry.user = who(row.user, damaged);
    entry.host = who(row.host, damaged);
    entry.program = who(row.program, damaged);
    const std::int64_t operation = row.operation.value_or(0);
    if (operation != B_INSERT && operation != B_UPDATE && operation != B_DELETE) {
        entry.damaged = true;
        return entry;
    }
    entry.operation = static_cast<std::uint16_t>(operation);
    entry.before = image(row.before, operation != B_INSERT, layout, damaged);
    entry.after = image(row.after, operation != B_DELETE, layout, damaged);
    return entry;
}

}  // namespace wbtrv
