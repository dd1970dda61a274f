// The unformatted sequential file: per record its length in ASCII digits, a
// comma (a blank is accepted on reading), exactly that many bytes and CR LF;
// one Ctrl-Z ends the file. Only the length prefix decides where data ends,
// so any byte value may appear inside a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace grimstore {

struct SequentialRecord {
    size_t offset = 0;  // byte offset of the record's length prefix in the input
    std::span<const uint8_t> data;
};

struct SequentialError {
    size_t offset = 0;
    std::string what;
};

struct SequentialParse {
    std::vector<SequentialRecord> records;  // empty when error is set
    std::optional<SequentialError> error;
};

// Parses and validates a whole input; with recordLength set, every record
// must have exactly that length. The records point into input.
SequentialParse parseSequential(std::span<const uint8_t> input, std::optional<uint32_t> recordLength);

void writeSequentialRecord(std::ostream& out, std::span<const uint8_t> record);
void writeSequentialEnd(std::ostream& out);

}  // namespace grimstore
