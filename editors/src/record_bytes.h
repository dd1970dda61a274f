// A table's record structure held as bytes, laid out as the row conversion lays out
// the table's record type: what an editor unpacks a row into, shows, edits and packs.
// Its fields are reached through the record's description.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>
#include <utility>

#include "field_element.h"
#include "records/descriptions.h"

namespace editors {

// The values a number field of this width holds: a byte unsigned, 2 or 4 bytes signed.
std::pair<std::int64_t, std::int64_t> numberRange(std::size_t width);

class RecordBytes {
public:
    explicit RecordBytes(std::size_t size) : size_(std::min(size, sizeof words_)) {}

    std::byte* data() { return reinterpret_cast<std::byte*>(words_.data()); }
    const std::byte* data() const { return reinterpret_cast<const std::byte*>(words_.data()); }
    std::size_t size() const { return size_; }

    std::int64_t number(FieldElement element) const;
    // Stores value cut to the field's width, as a conversion to the member's type does.
    void setNumber(FieldElement element, std::int64_t value);
    std::span<const char> text(FieldElement element) const;
    std::span<char> text(FieldElement element);

    // The bytes as the record type the description was made from, for code of a
    // table's own that reads several fields at once.
    template <class Record>
    Record as() const {
        static_assert(std::is_trivially_copyable_v<Record>);
        Record record;
        std::memcpy(&record, data(), std::min(sizeof record, size_));
        return record;
    }

private:
    using Word = std::uint64_t;  // aligns every member of every record
    // Held in place, so that the copies an update takes cost no allocation.
    std::array<Word, (records::kLargestRecord + sizeof(Word) - 1) / sizeof(Word)> words_{};
    std::size_t size_;
};

}  // namespace editors
