// The data buffers of the extended operations: the request of an extended
// Get or Step (36-39) and the records of an Insert Extended (40), read
// against the caller's data length and never past it, and checked against
// the file's layout before any record is read or written.
#pragma once

#include "core/file_layout.h"
#include "core/record_filter.h"

#include <cstdint>
#include <span>
#include <vector>

namespace wbtrv {

// The reject count a request of 0 stands for.
constexpr std::uint32_t kDefaultMaxRejects = 4095;

struct ExtendedRequest {
    bool fromCurrent = false;  // "UC": the current record is examined first; "EG": the one after it
    std::uint32_t maxRejects = kDefaultMaxRejects;
    RecordFilter filter;
    std::uint32_t wanted = 0;  // records to return
    Extraction extraction;
};

// Reads the request in the first `length` bytes of buffer: 0; 62 a wrong
// descriptor (its header's length below its own or above `length`, letters
// other than UC or EG, no record or no field asked, a term of an unknown type,
// of a length its type does not allow, outside the record or with a wrong
// comparison or connector, a collating sequence the file lacks, a field of
// length 0, more than 65,535 bytes extracted per record); 65 an extracted
// field outside the record; 97 an answer of all the records asked that would
// not fit in `length` bytes.
int parseExtendedRequest(const std::uint8_t* buffer, std::uint32_t length, const FileLayout& layout,
                         ExtendedRequest& out);

// Reads the records of an Insert Extended: a count, then each record's
// length and bytes. 0, or 63 for a count of 0, a record of another length
// than the file's, or records that run past `length`.
int parseInsertRecords(const std::uint8_t* buffer, std::uint32_t length, std::uint32_t recordLength,
                       std::vector<std::span<const std::uint8_t>>& records);

}  // namespace wbtrv
