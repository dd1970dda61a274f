// Writes a new data file (or one replaced) from a walk over records, all or
// nothing: made with the given keys, filled in one transaction, read back and
// compared before it is committed. copy and as-of write their files this way.
// A file made here is filled before its journal starts (its journal holds no
// entry for the fill); a replaced file of the same keys journals it all.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "command_support.h"
#include "record_walk.h"

namespace grimstore {

// The number of records and a 64-bit FNV-1a hash over each record's length and
// bytes, in the order read: a file matches what it was filled from when both agree.
struct RecordDigest {
    uint64_t count = 0;
    uint64_t hash = 0xcbf29ce484222325;

    void add(std::span<const uint8_t> record);
    bool operator==(const RecordDigest&) const = default;
    // "12 records, checksum 8bb88d9c3139d05c"
    std::string text() const;
};

// Hands every record to write, in order, to the visitor; answers how the walk ended.
using RecordSource = std::function<WalkResult(const RecordVisitor& visit)>;

struct WriteRequest {
    std::string to;          // as given, for messages
    std::string sourceName;  // what the records come from, for messages
    const CreateEntries& entries;
    bool replace = false;              // over an existing file: emptied in the transaction when its keys are the same
    std::string_view verb = "copied";  // "nothing was copied" when it fails
};

// Reads the file in key order with a progress bar labelled what, handing
// each record to visit.
WalkResult readRecords(client::File& file, const std::string& name, const CreateEntries& entries, Io& io,
                       const std::string& what, const RecordVisitor& visit);

// Makes request.to and fills it from source; on success the digest of what it
// holds and the end of the source's walk. On failure the reason is on io.err,
// with what is left of the target, and the answer is false.
bool writeDataFile(const WriteRequest& request, const RecordSource& source, RecordDigest& written, WalkResult& walk,
                   Io& io);

}  // namespace grimstore
