#include "sequential_format.h"

namespace grimstore {
namespace {

constexpr uint8_t kCtrlZ = 0x1A;
// No record is longer than 65,535 bytes; more digits than this are an error.
constexpr size_t kMaxLengthDigits = 5;

std::string byteName(uint8_t byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name = "0x";
    name += kHex[byte >> 4];
    name += kHex[byte & 0xF];
    return name;
}

SequentialParse fail(size_t offset, std::string what) { return {{}, SequentialError{offset, std::move(what)}}; }

}  // namespace

SequentialParse parseSequential(std::span<const uint8_t> input, std::optional<uint32_t> recordLength) {
    SequentialParse result;
    size_t at = 0;
    while (at < input.size() && input[at] != kCtrlZ) {
        const size_t start = at;
        uint32_t length = 0;
        while (at < input.size() && input[at] >= '0' && input[at] <= '9') {
            if (at - start == kMaxLengthDigits) return fail(start, "record length has more than 5 digits");
            length = length * 10 + static_cast<uint32_t>(input[at] - '0');
            ++at;
        }
        if (at == start)
            return fail(at, "expected the record length in ASCII digits, found byte " + byteName(input[at]));
        if (at == input.size()) return fail(at, "input ends after the record length, expected a comma");
        if (input[at] != ',' && input[at] != ' ')
            return fail(at, "expected a comma after the record length, found byte " + byteName(input[at]));
        ++at;
        if (recordLength && length != *recordLength)
            return fail(start, "record length " + std::to_string(length) + " differs from the file's record length " +
                                   std::to_string(*recordLength));
        if (input.size() - at < length)
            return fail(start, "record announces " + std::to_string(length) + " bytes but only " +
                                   std::to_string(input.size() - at) + " remain");
        result.records.push_back({start, input.subspan(at, length)});
        at += length;
        if (input.size() - at < 2 || input[at] != '\r' || input[at + 1] != '\n')
            return fail(at, "expected CR LF after the " + std::to_string(length) +
                                " data bytes of the record at byte " + std::to_string(start));
        at += 2;
    }
    if (at == input.size()) return fail(at, "input ends without the Ctrl-Z (0x1A) end mark");
    if (at + 1 != input.size())
        return fail(at + 1, std::to_string(input.size() - at - 1) + " byte(s) follow the Ctrl-Z end mark");
    return result;
}

void writeSequentialRecord(std::ostream& out, std::span<const uint8_t> record) {
    out << record.size() << ',';
    out.write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
    out << "\r\n";
}

void writeSequentialEnd(std::ostream& out) { out.put(static_cast<char>(kCtrlZ)); }

}  // namespace grimstore
