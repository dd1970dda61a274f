#include "world/batch_reader.h"

#include <wbtrv32/bytes.h>

#include <algorithm>
#include <array>

namespace world {
namespace {

// Records a batch examines at most, passing or not, so that one batch stays short.
constexpr std::size_t kMostExamined = 4095;

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
    : file_(file), table_(table), request_(std::move(request)) {}

bool BatchReader::passes(std::span<const std::uint8_t> row) const {
    if (request_.anyOf.empty()) return true;
    return std::ranges::any_of(request_.anyOf, [&](const Equality& term) {
        return term.offset + term.value.size() <= row.size() &&
               std::equal(term.value.begin(), term.value.end(), row.begin() + term.offset);
    });
}

void BatchReader::extract(std::span<const std::uint8_t> row, Batch& batch) const {
    for (const RowField& f : request_.fields) {
        // Bytes past the end of a short record read as zeros.
        for (std::size_t i = f.offset; i < std::size_t{f.offset} + f.length; ++i)
            batch.bytes_.push_back(i < row.size() ? row[i] : std::uint8_t{0});
    }
}

client::Status BatchReader::moveToFirst() {
    if (!after_) return file_.get(client::Move::First, 0);
    std::array<std::uint8_t, 4> key{};
    wbtrv::writeLittleEndian(key.data(), table_.numberWidth, static_cast<std::uint32_t>(*after_));
    return file_.find(client::Find::Greater, 0, std::span(key).first(table_.numberWidth));
}

bool BatchReader::next(Batch& batch) {
    batch.bytes_.clear();
    batch.stride_ = 0;
    for (const RowField& f : request_.fields) batch.stride_ += f.length;
    if (done_) return false;
    for (std::size_t examined = 0; examined < kMostExamined && batch.size() < request_.records; ++examined) {
        const client::Status status = started_ ? file_.get(client::Move::Next, 0) : moveToFirst();
        started_ = true;
        if (status != B_NO_ERROR) {
            done_ = true;
            status_ = status == B_END_OF_FILE ? client::Status{0} : status;
            return false;
        }
        if (passes(file_.record())) extract(file_.record(), batch);
    }
    return true;
}

}  // namespace world
