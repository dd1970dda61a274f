#include "core/extended_buffers.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <cstring>
#include <limits>

namespace wbtrv {
namespace {

// Comparison code bits besides the comparison itself; +8 (a sequence named in
// the term) is not one of them, so a code with it is refused.
constexpr std::uint8_t kCollate = B_COMPARE_COLLATED, kOtherField = B_COMPARE_OTHER_FIELD, kNoCase = B_COMPARE_NO_CASE;

// Reads little-endian numbers and byte runs from the caller's buffer, never
// past its end; a read past it fails the reader, and every later read too.
class BoundedReader {
public:
    BoundedReader(const std::uint8_t* bytes, std::uint32_t length) : at_(bytes), left_(bytes ? length : 0) {}
    std::uint32_t number(std::uint32_t size) {
        const std::uint8_t* bytes = take(size);
        return bytes ? static_cast<std::uint32_t>(readLittleEndian(bytes, size)) : 0;
    }
    std::span<const std::uint8_t> bytes(std::uint32_t size) {
        const std::uint8_t* bytes = take(size);
        return bytes ? std::span(bytes, size) : std::span<const std::uint8_t>();
    }
    bool ok() const { return ok_; }

private:
    const std::uint8_t* take(std::uint32_t size) {
        if (!ok_ || size > left_) {
            ok_ = false;
            return nullptr;
        }
        const std::uint8_t* bytes = at_;
        at_ += size;
        left_ -= size;
        return bytes;
    }
    const std::uint8_t* at_;
    std::uint32_t left_;
    bool ok_ = true;
};

bool inside(std::uint64_t offset, std::uint64_t length, std::uint32_t recordLength) {
    return offset + length <= recordLength;
}

// The collating sequence of the lowest-numbered key that has one.
std::shared_ptr<const CollatingSequence> fileSequence(const FileLayout& layout) {
    for (const KeyDefinition& key : layout.keys)
        for (const KeySegment& segment : key.segments)
            if (segment.collating) return segment.collating;
    return nullptr;
}

// One term: type, length, offset, comparison, connector, then the value or
// the other field's offset.
int readTerm(BoundedReader& in, const FileLayout& layout, FilterTerm& term) {
    KeySegment& field = term.field;
    field.dataType = static_cast<std::uint8_t>(in.number(1));
    field.length = in.number(2);
    field.offset = in.number(2);
    const auto code = static_cast<std::uint8_t>(in.number(1));
    const std::uint32_t connector = in.number(1);
    if (!in.ok()) return B_INCORRECT_DESCRIPTOR;
    const std::uint8_t comparison = code & ~(kCollate | kOtherField | kNoCase);
    if (field.dataType > B_TYPE_NUMERIC_STS || !lengthAllowed(field.dataType, field.length) ||
        !inside(field.offset, field.length, layout.recordLength) ||
        comparison < static_cast<std::uint8_t>(Comparison::Equal) ||
        comparison > static_cast<std::uint8_t>(Comparison::LessOrEqual) || connector > 2)
        return B_INCORRECT_DESCRIPTOR;
    term.comparison = static_cast<Comparison>(comparison);
    term.connector = static_cast<Connector>(connector);
    if ((code & (kCollate | kNoCase)) && !isStringType(field.dataType)) return B_INCORRECT_DESCRIPTOR;
    if (code & kNoCase) field.attributes |= B_KEY_NOCASE;
    if (code & kCollate) {
        field.collating = fileSequence(layout);
        if (!field.collating) return B_INCORRECT_DESCRIPTOR;
        field.attributes |= B_KEY_ALT_COLLATING;
    }
    if (code & kOtherField) {
        term.otherOffset = in.number(2);
        if (!in.ok() || !inside(*term.otherOffset, field.length, layout.recordLength)) return B_INCORRECT_DESCRIPTOR;
        return B_NO_ERROR;
    }
    const auto value = in.bytes(field.length);
    if (!in.ok()) return B_INCORRECT_DESCRIPTOR;
    term.value.assign(value.begin(), value.end());
    term.encodedValue.resize(encodedWidth(field));
    encodeSegment(field, term.value.data(), term.encodedValue.data());
    return B_NO_ERROR;
}

int readFilter(BoundedReader& in, const FileLayout& layout, ExtendedRequest& out) {
    const std::uint32_t maxRejects = in.number(2);
    const std::uint32_t terms = in.number(2);
    if (!in.ok()) return B_INCORRECT_DESCRIPTOR;
    out.maxRejects = maxRejects == 0 ? kDefaultMaxRejects : maxRejects;
    out.filter.terms.resize(terms);
    for (std::uint32_t t = 0; t < terms; ++t) {
        if (const int status = readTerm(in, layout, out.filter.terms[t]); status != B_NO_ERROR) return status;
        // Only the last term ends the chain.
        if ((out.filter.terms[t].connector == Connector::Last) != (t + 1 == terms)) return B_INCORRECT_DESCRIPTOR;
    }
    return B_NO_ERROR;
}

// The extractor: records asked, fields per record, each field's length and
// offset. Answers 0 or 62; a field outside the record is found by the caller.
int readExtraction(BoundedReader& in, ExtendedRequest& out) {
    out.wanted = in.number(2);
    const std::uint32_t fields = in.number(2);
    if (!in.ok() || out.wanted == 0 || fields == 0) return B_INCORRECT_DESCRIPTOR;
    Extraction& extraction = out.extraction;
    extraction.fields.resize(fields);
    std::uint64_t width = 0;
    for (ExtractedField& field : extraction.fields) {
        field.length = in.number(2);
        field.offset = in.number(2);
        if (!in.ok() || field.length == 0) return B_INCORRECT_DESCRIPTOR;
        width += field.length;
    }
    // An answer entry gives its extracted length in 2 bytes.
    if (width > std::numeric_limits<std::uint16_t>::max()) return B_INCORRECT_DESCRIPTOR;
    extraction.width = static_cast<std::uint32_t>(width);
    return B_NO_ERROR;
}

}  // namespace

int parseExtendedRequest(const std::uint8_t* buffer, std::uint32_t length, const FileLayout& layout,
                         ExtendedRequest& out) {
    out = ExtendedRequest{};
    BoundedReader header(buffer, length);
    const std::uint32_t declared = header.number(2);
    const auto letters = header.bytes(2);
    if (!header.ok() || declared > length) return B_INCORRECT_DESCRIPTOR;
    const bool current = std::memcmp(letters.data(), "UC", 2) == 0;
    if (!current && std::memcmp(letters.data(), "EG", 2) != 0) return B_INCORRECT_DESCRIPTOR;
    out.fromCurrent = current;
    // The descriptor must lie within the length its header declares.
    BoundedReader in(buffer, declared);
    in.bytes(4);
    if (const int status = readFilter(in, layout, out); status != B_NO_ERROR) return status;
    if (const int status = readExtraction(in, out); status != B_NO_ERROR) return status;
    for (const ExtractedField& field : out.extraction.fields)
        if (!inside(field.offset, field.length, layout.recordLength)) return B_FIELD_OUTSIDE_RECORD;
    const std::uint64_t answer = 2 + std::uint64_t{out.wanted} * (kEntryHeader + out.extraction.width);
    return answer > length ? B_DATA_BUFFER_TOO_SMALL : B_NO_ERROR;
}

int parseInsertRecords(const std::uint8_t* buffer, std::uint32_t length, std::uint32_t recordLength,
                       std::vector<std::span<const std::uint8_t>>& records) {
    records.clear();
    BoundedReader in(buffer, length);
    const std::uint32_t count = in.number(2);
    if (!in.ok() || count == 0) return B_INVALID_INSERT_BUFFER;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t size = in.number(2);
        const auto bytes = in.bytes(size);
        if (!in.ok() || size != recordLength) return B_INVALID_INSERT_BUFFER;
        records.push_back(bytes);
    }
    return B_NO_ERROR;
}

}  // namespace wbtrv
