// The unformatted sequential file: per record its length in ASCII digits, a
// comma (a blank is accepted on reading), exactly that many bytes and CR LF;
// one Ctrl-Z ends the file. Only the length prefix decides where data ends,
// so any byte value may appear inside a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace grimstore {

struct SequentialRecord {
    size_t offset = 0;  // byte offset of the record's length prefix in the input
    std::vector<uint8_t> data;
};

struct SequentialError {
    size_t offset = 0;
    std::string what;
};

// Reads a sequential file one record at a time, so a reader holds one record,
// never the whole input. With recordLength set, every record must have exactly
// that length.
class SequentialReader {
public:
    SequentialReader(std::istream& in, std::optional<uint32_t> recordLength) : in_(in), recordLength_(recordLength) {}

    // The next record, or nothing at the end mark or on an error (then error() is set).
    std::optional<SequentialRecord> next();
    const std::optional<SequentialError>& error() const { return error_; }
    // Bytes consumed so far.
    size_t offset() const { return at_; }

private:
    int peek() { return in_.peek(); }
    int take();
    std::optional<SequentialRecord> fail(size_t offset, std::string what);

    std::istream& in_;
    std::optional<uint32_t> recordLength_;
    size_t at_ = 0;
    bool done_ = false;
    std::optional<SequentialError> error_;
};

struct SequentialParse {
    std::vector<SequentialRecord> records;  // empty when error is set
    std::optional<SequentialError> error;
};

// Reads and validates a whole input held in memory.
SequentialParse parseSequential(std::span<const uint8_t> input, std::optional<uint32_t> recordLength);

void writeSequentialRecord(std::ostream& out, std::span<const uint8_t> record);
void writeSequentialEnd(std::ostream& out);

}  // namespace grimstore
