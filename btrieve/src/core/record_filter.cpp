#include "core/record_filter.h"

#include "core/record.h"

#include <wbtrv32/bytes.h>

#include <algorithm>
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

void appendEntry(std::int64_t id, std::span<const std::uint8_t> extracted, std::vector<std::uint8_t>& out) {
    const std::size_t at = out.size();
    out.resize(at + kEntryHeader + extracted.size());
    writeLittleEndian(out.data() + at, 2, extracted.size());
    writePosition(out.data() + at + 2, id);
    std::copy(extracted.begin(), extracted.end(), out.begin() + static_cast<std::ptrdiff_t>(at + kEntryHeader));
}

void Extraction::append(std::int64_t id, const std::uint8_t* record, std::vector<std::uint8_t>& out) const {
    std::size_t at = out.size();
    out.resize(at + kEntryHeader + width);
    writeLittleEndian(out.data() + at, 2, width);
    writePosition(out.data() + at + 2, id);
    at += kEntryHeader;
    for (const ExtractedField& f : fields) {
        std::memcpy(out.data() + at, record + f.offset, f.length);
        at += f.length;
    }
}

}  // namespace wbtrv
