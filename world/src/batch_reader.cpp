#include "world/batch_reader.h"

#include <wbtrv32/bytes.h>

#include <algorithm>
#include <array>

namespace world {
namespace {

// Records a batch examines at most, passing or not, so that one batch stays short:
// the record manager's own default reject count, and the walk's limit alike.
constexpr std::size_t kMostExamined = 4095;

bool isIntegerLength(std::size_t length) { return length == 1 || length == 2 || length == 4 || length == 8; }

// The request as the record manager takes it: the equalities joined by OR (the
// numbers compare as integers, anything else byte for byte), the fields extracted.
client::ExtendedRequest extendedRequest(const BatchRequest& request) {
    client::ExtendedRequest extended;
    for (const Equality& term : request.anyOf) {
        client::FilterTerm& t = extended.terms.emplace_back();
        t.type = isIntegerLength(term.value.size()) ? B_TYPE_INTEGER : B_TYPE_STRING;
        t.offset = term.offset;
        t.length = static_cast<std::uint16_t>(term.value.size());
        t.value = term.value;
        t.next = client::Connector::Or;
    }
    for (const RowField& f : request.fields) extended.fields.push_back({f.offset, f.length});
    return extended;
}

}  // namespace

std::span<const std::uint8_t> Extracted::at(std::size_t offset, std::size_t length) const {
    std::size_t start = 0;
    for (const RowField& f : fields_) {
        if (offset >= f.offset && offset + length <= std::size_t{f.offset} + f.length)
            return bytes_.subspan(start + (offset - f.offset), length);
        start += f.length;
    }
    return {};
}

BatchReader::BatchReader(client::File& file, const records::TableFile& table, BatchRequest request)
    : file_(file), table_(table), request_(std::move(request)), extended_(extendedRequest(request_)) {}

bool BatchReader::passes(std::span<const std::uint8_t> row) const {
    if (request_.anyOf.empty()) return true;
    return std::ranges::any_of(request_.anyOf, [&](const Equality& term) {
        return term.offset + term.value.size() <= row.size() &&
               std::equal(term.value.begin(), term.value.end(), row.begin() + term.offset);
    });
}

void BatchReader::take(Batch& batch) {
    const auto row = file_.record();
    if (!passes(row)) return;
    for (const RowField& f : request_.fields) {
        // Bytes past the end of a short record read as zeros.
        for (std::size_t i = f.offset; i < std::size_t{f.offset} + f.length; ++i)
            batch.bytes_.push_back(i < row.size() ? row[i] : std::uint8_t{0});
    }
    if (request_.positions && file_.getPosition(batch.positions_.emplace_back()) != B_NO_ERROR)
        batch.positions_.back() = {};
}

client::Status BatchReader::moveToFirst() {
    if (!after_) return file_.get(client::Move::First, 0);
    std::array<std::uint8_t, 4> key{};
    wbtrv::writeLittleEndian(key.data(), table_.numberWidth, static_cast<std::uint32_t>(*after_));
    return file_.find(client::Find::Greater, 0, std::span(key).first(table_.numberWidth));
}

bool BatchReader::finish(client::Status status) {
    done_ = true;
    status_ = status == B_END_OF_FILE ? client::Status{0} : status;
    return false;
}

bool BatchReader::next(Batch& batch) {
    batch.bytes_.clear();
    batch.positions_.clear();
    batch.stride_ = 0;
    for (const RowField& f : request_.fields) batch.stride_ += f.length;
    if (done_) return false;
    batch.bytes_.reserve(batch.stride_ * request_.records);
    if (!started_) {
        // The first record comes with the Get that gives the extended reads their key position.
        started_ = true;
        if (const client::Status status = moveToFirst(); status != B_NO_ERROR) return finish(status);
        take(batch);
        if (batch.size() >= request_.records) return true;
    }
    return batched_ ? readExtended(batch) : walk(batch);
}

bool BatchReader::readExtended(Batch& batch) {
    extended_.records = static_cast<std::uint16_t>(request_.records - batch.size());
    const client::Status status = file_.getExtended(client::Direction::Next, 0, extended_, answer_);
    if (status != B_NO_ERROR && status != B_END_OF_FILE && status != B_REJECT_COUNT_REACHED) {
        // Refused (an older record manager, a record shorter than a field, ...): the
        // position is where it was, so the walk goes on from there and meets any real
        // fault itself.
        batched_ = false;
        return walk(batch);
    }
    for (const client::ExtendedRecord& record : answer_) {
        const auto bytes = record.bytes.first(std::min(record.bytes.size(), batch.stride_));
        batch.bytes_.insert(batch.bytes_.end(), bytes.begin(), bytes.end());
        batch.bytes_.resize(batch.bytes_.size() + (batch.stride_ - bytes.size()));
        if (request_.positions) batch.positions_.push_back(record.position);
    }
    return status == B_END_OF_FILE ? finish(status) : true;
}

bool BatchReader::walk(Batch& batch) {
    for (std::size_t examined = 0; examined < kMostExamined && batch.size() < request_.records; ++examined) {
        if (const client::Status status = file_.get(client::Move::Next, 0); status != B_NO_ERROR) return finish(status);
        take(batch);
    }
    return true;
}

}  // namespace world
