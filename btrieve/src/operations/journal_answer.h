// What BTRJOURNAL writes into its caller's buffer, in the layout the public
// header gives: never a byte past the length the caller passed.
#pragma once

#include "core/journal.h"

#include <cstdint>

namespace wbtrv {

// The answer of a read: the header, then whole entries while they fit and
// the caller's most entries allow.
class JournalAnswer {
public:
    JournalAnswer(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t mostEntries);
    // Adds an entry; false when it does not fit or the answer has the most
    // entries it may hold: the answer then says there are more.
    bool add(const JournalEntry& entry);
    // Writes the header and sets `length` to the bytes written: 0, or 22
    // when not even the first entry fits (`length` then the bytes it needs).
    int finish(std::uint32_t& length);

private:
    std::uint8_t* buffer_;
    std::uint32_t capacity_;
    std::uint32_t mostEntries_;
    std::uint32_t used_;
    std::uint32_t entries_ = 0;
    std::uint64_t next_ = 0;
    bool more_ = false;
    std::uint32_t needed_ = 0;  // what the first entry needed, when it did not fit
};

// The answer of a status, BTR_JOURNAL_STATUS_SIZE bytes.
void writeJournalState(const JournalState& state, std::uint8_t* out);

}  // namespace wbtrv
