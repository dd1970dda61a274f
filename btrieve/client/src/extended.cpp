// The extended operations through the client: the request built in the
// published layout, the answer read back into records, Insert Extended's
// buffer of many records.
#include <wbtrv32/bytes.h>

#include <algorithm>

#include "file_buffers.h"

namespace wbtrv::client {
namespace {

void put(std::vector<std::uint8_t>& out, std::size_t size, std::uint64_t value) {
    out.resize(out.size() + size);
    writeLittleEndian(out.data() + out.size() - size, size, value);
}

std::uint8_t comparisonCode(const FilterTerm& term) {
    return static_cast<std::uint8_t>(static_cast<std::uint8_t>(term.compare) |
                                     (term.collated ? B_COMPARE_COLLATED : 0) | (term.noCase ? B_COMPARE_NO_CASE : 0) |
                                     (term.otherField ? B_COMPARE_OTHER_FIELD : 0));
}

// Reads an answer of `length` bytes: a count, then per record its length,
// position and bytes; stops at anything that does not fit.
void readAnswer(std::span<const std::uint8_t> answer, std::vector<ExtendedRecord>& records) {
    records.clear();
    if (answer.size() < 2) return;
    const std::uint64_t count = readLittleEndian(answer.data(), 2);
    std::size_t at = 2;
    for (std::uint64_t i = 0; i < count && at + 6 <= answer.size(); ++i) {
        const std::size_t size = answer[at] | std::size_t{answer[at + 1]} << 8;
        if (at + 6 + size > answer.size()) break;
        ExtendedRecord& record = records.emplace_back();
        std::copy_n(answer.begin() + static_cast<std::ptrdiff_t>(at + 2), 4, record.position.begin());
        record.bytes = answer.subspan(at + 6, size);
        at += 6 + size;
    }
}

}  // namespace

ExtendedRequest ExtendedRequest::wholeRecords(std::uint16_t recordLength, std::uint16_t records) {
    ExtendedRequest request;
    request.records = records;
    request.fields = {{0, recordLength}};
    return request;
}

std::vector<std::uint8_t> ExtendedRequest::descriptor() const {
    std::vector<std::uint8_t> out;
    put(out, 2, 0);  // the length, once known
    out.push_back(fromCurrent ? 'U' : 'E');
    out.push_back(fromCurrent ? 'C' : 'G');
    put(out, 2, maxRejects);
    put(out, 2, terms.size());
    for (std::size_t t = 0; t < terms.size(); ++t) {
        const FilterTerm& term = terms[t];
        put(out, 1, term.type);
        put(out, 2, term.length);
        put(out, 2, term.offset);
        put(out, 1, comparisonCode(term));
        put(out, 1, t + 1 == terms.size() ? std::uint8_t{B_CONNECT_LAST} : static_cast<std::uint8_t>(term.next));
        if (term.otherField)
            put(out, 2, *term.otherField);
        else
            out.insert(out.end(), term.value.begin(), term.value.end());
    }
    put(out, 2, records);
    put(out, 2, fields.size());
    for (const ExtractedField& field : fields) {
        put(out, 2, field.length);
        put(out, 2, field.offset);
    }
    writeLittleEndian(out.data(), 2, out.size());
    return out;
}

std::uint32_t ExtendedRequest::answerLength() const {
    std::uint32_t width = 0;
    for (const ExtractedField& field : fields) width += field.length;
    return 2 + std::uint32_t{records} * (6 + width);
}

Status File::readExtended(std::uint16_t operation, std::int8_t key, const ExtendedRequest& request,
                          std::vector<ExtendedRecord>& records) {
    records.clear();
    recordLength_ = 0;
    if (!buffers_) return B_FILE_NOT_OPEN;
    const std::vector<std::uint8_t> descriptor = request.descriptor();
    // The buffer grows to the largest answer asked for and keeps its size: what lies past the
    // request is the record manager's to overwrite.
    const std::uint32_t size =
        std::max<std::uint32_t>(static_cast<std::uint32_t>(descriptor.size()), request.answerLength());
    std::vector<std::uint8_t>& buffer = buffers_->extended;
    if (buffer.size() < size) buffer.resize(size);
    std::copy(descriptor.begin(), descriptor.end(), buffer.begin());
    std::uint32_t length = size;
    const Status status = call(operation, buffer.data(), length, BTR_MAX_KEY_LENGTH, key);
    if (status == B_NO_ERROR || status == B_END_OF_FILE || status == B_REJECT_COUNT_REACHED)
        readAnswer(std::span(buffer).first(std::min(length, size)), records);
    return status;
}

Status File::getExtended(Direction direction, std::int8_t key, const ExtendedRequest& request,
                         std::vector<ExtendedRecord>& records, Lock lock) {
    const std::uint16_t operation = direction == Direction::Next ? B_GET_NEXT_EXTENDED : B_GET_PREVIOUS_EXTENDED;
    return readExtended(withLock(operation, lock), key, request, records);
}

Status File::stepExtended(Direction direction, const ExtendedRequest& request, std::vector<ExtendedRecord>& records,
                          Lock lock) {
    const std::uint16_t operation = direction == Direction::Next ? B_STEP_NEXT_EXTENDED : B_STEP_PREVIOUS_EXTENDED;
    return readExtended(withLock(operation, lock), 0, request, records);
}

Status File::insertExtended(std::span<const std::span<const std::uint8_t>> records, std::int8_t key,
                            std::vector<Position>& positions) {
    positions.clear();
    recordLength_ = 0;
    if (!buffers_) return B_FILE_NOT_OPEN;
    std::vector<std::uint8_t>& buffer = buffers_->extended;
    buffer.clear();
    put(buffer, 2, records.size());
    for (const auto& record : records) {
        put(buffer, 2, record.size());
        buffer.insert(buffer.end(), record.begin(), record.end());
    }
    // Room for the answer too, should the records be shorter than their positions.
    buffer.resize(std::max<std::size_t>(buffer.size(), 2 + 4 * records.size()));
    const auto given = static_cast<std::uint32_t>(buffer.size());
    std::uint32_t length = given;
    const Status status = call(B_INSERT_EXTENDED, buffer.data(), length, BTR_MAX_KEY_LENGTH, key);
    // A call refused before inserting leaves the buffer and its length as they were; one that
    // inserted fewer records than given answers a shorter length.
    if ((status != B_NO_ERROR && length == given) || length < 2 || length > given) return status;
    const std::size_t count = std::min<std::size_t>(readLittleEndian(buffer.data(), 2), (length - 2) / 4);
    for (std::size_t i = 0; i < count; ++i)
        std::copy_n(buffer.begin() + static_cast<std::ptrdiff_t>(2 + 4 * i), 4, positions.emplace_back().begin());
    return status;
}

}  // namespace wbtrv::client
