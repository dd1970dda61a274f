#include "sequential_format.h"

#include <limits>
#include <sstream>

namespace grimstore {
namespace {

constexpr int kCtrlZ = 0x1A;
// No record is longer than 65,535 bytes; more digits than this are an error.
constexpr size_t kMaxLengthDigits = 5;

std::string byteName(int byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name = "0x";
    name += kHex[(byte >> 4) & 0xF];
    name += kHex[byte & 0xF];
    return name;
}

bool isDigit(int byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

int SequentialReader::take() {
    ++at_;
    return in_.get();
}

std::optional<SequentialRecord> SequentialReader::fail(size_t offset, std::string what) {
    error_ = SequentialError{offset, std::move(what)};
    done_ = true;
    return std::nullopt;
}

std::optional<SequentialRecord> SequentialReader::next() {
    if (done_) return std::nullopt;
    if (peek() == std::char_traits<char>::eof()) return fail(at_, "input ends without the Ctrl-Z (0x1A) end mark");
    if (peek() == kCtrlZ) {
        take();
        done_ = true;
        in_.ignore(std::numeric_limits<std::streamsize>::max());
        if (const auto trailing = static_cast<size_t>(in_.gcount()); trailing > 0)
            return fail(at_, std::to_string(trailing) + " byte(s) follow the Ctrl-Z end mark");
        return std::nullopt;
    }
    const size_t start = at_;
    uint32_t length = 0;
    while (isDigit(peek())) {
        if (at_ - start == kMaxLengthDigits) return fail(start, "record length has more than 5 digits");
        length = length * 10 + static_cast<uint32_t>(take() - '0');
    }
    if (at_ == start) return fail(at_, "expected the record length in ASCII digits, found byte " + byteName(peek()));
    if (peek() == std::char_traits<char>::eof())
        return fail(at_, "input ends after the record length, expected a comma");
    if (peek() != ',' && peek() != ' ')
        return fail(at_, "expected a comma after the record length, found byte " + byteName(peek()));
    take();
    if (recordLength_ && length != *recordLength_)
        return fail(start, "record length " + std::to_string(length) + " differs from the file's record length " +
                               std::to_string(*recordLength_));
    SequentialRecord record{start, std::vector<uint8_t>(length)};
    in_.read(reinterpret_cast<char*>(record.data.data()), length);
    const auto got = static_cast<size_t>(in_.gcount());
    at_ += got;
    if (got < length)
        return fail(
            start, "record announces " + std::to_string(length) + " bytes but only " + std::to_string(got) + " remain");
    const size_t afterData = at_;
    if (take() != '\r' || take() != '\n')
        return fail(afterData, "expected CR LF after the " + std::to_string(length) +
                                   " data bytes of the record at byte " + std::to_string(start));
    return record;
}

SequentialParse parseSequential(std::span<const uint8_t> input, std::optional<uint32_t> recordLength) {
    std::istringstream in(std::string(input.begin(), input.end()));
    SequentialReader reader(in, recordLength);
    SequentialParse result;
    while (auto record = reader.next()) result.records.push_back(std::move(*record));
    if (reader.error()) return {{}, reader.error()};
    return result;
}

void writeSequentialRecord(std::ostream& out, std::span<const uint8_t> record) {
    out << record.size() << ',';
    out.write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
    out << "\r\n";
}

void writeSequentialEnd(std::ostream& out) { out.put(static_cast<char>(kCtrlZ)); }

}  // namespace grimstore
