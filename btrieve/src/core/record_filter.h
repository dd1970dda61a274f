// The filter and the extraction of the extended reads, as record bytes meet
// them: each term compares a field of the record, in its type's order, with
// a value or with another field; the terms chain strictly left to right; the
// extraction copies chosen fields of each record kept into the answer.
#pragma once

#include "core/key_encoding.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace wbtrv {

// The record's field on the left.
enum class Comparison : std::uint8_t { Equal = 1, Greater, Less, NotEqual, GreaterOrEqual, LessOrEqual };
// How a term joins the next: strictly left to right, no precedence.
enum class Connector : std::uint8_t { Last = 0, And = 1, Or = 2 };

struct FilterTerm {
    // The field: its type, offset and length; case folded (B_KEY_NOCASE) or
    // through a collating sequence as the term asks.
    KeySegment field;
    Comparison comparison = Comparison::Equal;
    Connector connector = Connector::Last;
    // Compared with the field of the same type and length at this offset, or with `value`.
    std::optional<std::uint32_t> otherOffset;
    std::vector<std::uint8_t> value;         // field length bytes, as the caller gave them
    std::vector<std::uint8_t> encodedValue;  // their order-preserving encoding

    // Whether the record (which holds the field) compares as the term asks.
    bool holds(const std::uint8_t* record) const;
};

struct RecordFilter {
    std::vector<FilterTerm> terms;  // none: every record passes

    // A term true and followed by OR accepts at once, one false and followed
    // by AND rejects at once; otherwise the next term decides.
    bool accepts(const std::uint8_t* record) const;
};

struct ExtractedField {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

struct Extraction {
    std::vector<ExtractedField> fields;
    std::uint32_t width = 0;  // bytes extracted from each record

    // Writes a record's entry of the answer: the extracted length (2), its
    // position (4) and the fields in order, entrySize() bytes.
    void write(std::int64_t id, const std::uint8_t* record, std::uint8_t* out) const;
    std::uint32_t entrySize() const;
};

// Bytes an answer entry takes besides the extracted fields: length and position.
constexpr std::uint32_t kEntryHeader = 6;

// Writes an answer entry whose extracted bytes are already at hand.
void writeEntry(std::int64_t id, std::span<const std::uint8_t> extracted, std::uint8_t* out);

}  // namespace wbtrv
