// Reads a table in record-number order, in batches: the records that pass a filter
// (one of the given fields equals its value; no terms: every record), of each only
// the extracted fields. Find, Where Used and the world check all read through it.
// A batch is one Get Next Extended along the record number, the filter running in
// the record manager (on a server, in its SQL), so only the records that pass and
// only their extracted fields travel. A record manager that refuses the call is
// read with one Get Next per record instead, filtered and extracted here.
#pragma once

#include <wbtrv32/client.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "records/tables.h"

namespace world {

namespace client = wbtrv::client;

// A field of the row, by its offset and length there.
struct RowField {
    std::uint16_t offset = 0;
    std::uint16_t length = 0;
};

// A filter term: the row's field equals value (as many bytes as value holds).
struct Equality {
    std::uint16_t offset = 0;
    std::vector<std::uint8_t> value;
};

struct BatchRequest {
    std::vector<Equality> anyOf;   // joined by OR; empty: every record passes
    std::vector<RowField> fields;  // extracted from each record that passes, in this order
    std::uint16_t records = 200;   // records per batch at most
    bool positions = false;        // each record's position too, for a caller that shows that very record
};

// The extracted fields of the records of one batch, each record's back to back,
// and their positions when the request asked for them.
class Batch {
public:
    std::size_t size() const { return stride_ == 0 ? 0 : bytes_.size() / stride_; }
    std::span<const std::uint8_t> record(std::size_t i) const {
        return std::span(bytes_).subspan(i * stride_, stride_);
    }
    const client::Position& position(std::size_t i) const { return positions_[i]; }

private:
    friend class BatchReader;
    std::vector<std::uint8_t> bytes_;
    std::vector<client::Position> positions_;
    std::size_t stride_ = 0;
};

// A record's extracted fields read by their offsets in the row.
class Extracted {
public:
    Extracted(std::span<const RowField> fields, std::span<const std::uint8_t> bytes) : fields_(fields), bytes_(bytes) {}
    // The bytes of the row at offset; empty when no extracted field holds them all.
    std::span<const std::uint8_t> at(std::size_t offset, std::size_t length) const;

private:
    std::span<const RowField> fields_;
    std::span<const std::uint8_t> bytes_;
};

class BatchReader {
public:
    // Reads the file along key 0 (the record number), whose numbers are numberWidth bytes.
    BatchReader(client::File& file, const records::TableFile& table, BatchRequest request);

    // Starts after the record of that number instead of at the first record.
    void startAfter(std::int32_t number) { after_ = number; }

    // Reads the next batch, which may be empty when many records in a row fail the
    // filter. False once the end was reached or a read failed, the batch still
    // holding what was found before: status() then says which (0 for the end).
    bool next(Batch& batch);
    client::Status status() const { return status_; }
    // Whether the batches still come from the record manager's extended reads,
    // rather than one record a call.
    bool batched() const { return batched_; }

    const BatchRequest& request() const { return request_; }

private:
    bool passes(std::span<const std::uint8_t> row) const;
    // Adds the record the file stands on, if it passes the filter.
    void take(Batch& batch);
    bool readExtended(Batch& batch);
    bool walk(Batch& batch);
    bool finish(client::Status status);
    client::Status moveToFirst();

    client::File& file_;
    const records::TableFile& table_;
    BatchRequest request_;
    client::ExtendedRequest extended_;
    std::vector<client::ExtendedRecord> answer_;
    std::optional<std::int32_t> after_;
    bool started_ = false;
    bool batched_ = true;
    bool done_ = false;
    client::Status status_ = 0;
};

}  // namespace world
