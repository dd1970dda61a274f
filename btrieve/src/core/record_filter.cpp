#include "core/record_filter.h"

#include <array>
#include <cstring>

namespace wbtrv {
namespace {

// The widest encoding of a segment of up to 255 bytes (a zstring or decimal
// takes one byte more).
constexpr std::size_t kMaxEncoded = 256;

bool compares(Comparison comparison, int order) {
    switch (comparison) {
        case Comparison::Equal:
            return order == 0;
        case Comparison::Greater:
            return order > 0;
        case Comparison::Less:
            return order < 0;
        case Comparison::NotEqual:
            return order != 0;
        case Comparison::GreaterOrEqual:
            return order >= 0;
        case Comparison::LessOrEqual:
            return order <= 0;
    }
    return false;
}

}  // namespace

bool FilterTerm::holds(const std::uint8_t* record) const {
    const std::uint32_t width = encodedWidth(field);
    std::array<std::uint8_t, kMaxEncoded> left, right;  // only the encoded width is written and read
    encodeSegment(field, record + field.offset, left.data());
    const std::uint8_t* other = encodedValue.data();
    if (otherOffset) {
        encodeSegment(field, record + *otherOffset, right.data());
        other = right.data();
    }
    return compares(comparison, std::memcmp(left.data(), other, width));
}

bool RecordFilter::accepts(const std::uint8_t* record) const {
    for (const FilterTerm& term : terms) {
        const bool holds = term.holds(record);
        if (term.connector == Connector::Last) return holds;
        if (holds == (term.connector == Connector::Or)) return holds;
    }
    return true;
}

namespace {

// An entry's length and position, written in place: this runs once for every record a batch returns.
void writeHeader(std::size_t length, std::int64_t id, std::uint8_t* out) {
    const auto position = static_cast<std::uint32_t>(id);
    const std::uint8_t header[kEntryHeader] = {
        static_cast<std::uint8_t>(length),         static_cast<std::uint8_t>(length >> 8),
        static_cast<std::uint8_t>(position >> 16), static_cast<std::uint8_t>(position >> 24),
        static_cast<std::uint8_t>(position),       static_cast<std::uint8_t>(position >> 8)};
    std::memcpy(out, header, kEntryHeader);
}

}  // namespace

void writeEntry(std::int64_t id, std::span<const std::uint8_t> extracted, std::uint8_t* out) {
    writeHeader(extracted.size(), id, out);
    std::memcpy(out + kEntryHeader, extracted.data(), extracted.size());
}

std::uint32_t Extraction::entrySize() const { return kEntryHeader + width; }

void Extraction::write(std::int64_t id, const std::uint8_t* record, std::uint8_t* out) const {
    writeHeader(width, id, out);
    out += kEntryHeader;
    for (const ExtractedField& f : fields) {
        std::memcpy(out, record + f.offset, f.length);
        out += f.length;
    }
}

}  // namespace wbtrv
