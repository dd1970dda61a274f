// The batched read of a file on a server: one statement, one round trip
// (server/batch_sql.h), its rows read by the statement's form.
#include "server/batch_sql.h"
#include "server/server_file.h"
#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

#include <array>

namespace wbtrv {
namespace {

// Columns of the batch statements' rows (server/batch_sql.h).
enum Column { kId, kKey, kKeyBytes, kBytes, kOrdinal };
enum ClientColumn { kClientId, kClientData, kClientKey };

// The row's record becomes the batch's last examined one. Along a key with
// key bytes in the row its key column must agree with them; a key of one
// integer segment takes its bytes from the column's value.
bool examinedRow(const PgResult& rows, int row, const KeyDefinition* key, KeyValue& stored, BatchAnswer& answer) {
    const std::int64_t id = rows.integerAt(row, kId);
    if (!key) {
        answer.examined = true;
        answer.lastId = id;
        return true;
    }
    if (!keyFromColumn(rows, row, kKey, *key, stored)) return false;
    std::array<std::uint8_t, 8> integer{};
    std::span<const std::uint8_t> bytes = rows.bytesAt(row, kKeyBytes);
    if (key->integerColumn()) {
        writeLittleEndian(integer.data(), key->length(), static_cast<std::uint64_t>(stored.integer));
        bytes = std::span(integer).first(key->length());
    }
    return answer.examinedAlong(*key, id, bytes, stored);
}

}  // namespace

int ServerFile::readBatch(const BatchRequest& request, BatchAnswer& answer) {
    const BatchQuery query = batchQuery(layout_, statements_.tableName, request);
    const std::string* name = statements_.batchName(query.sql);
    if (const int status = db_.run(name ? name->c_str() : nullptr, query.sql, query.params, result_);
        status != B_NO_ERROR)
        return status;
    if (result_.rows() > 0 && result_.typeAt(kId) != kInt8Oid) return B_IO_ERROR;
    switch (query.form) {
        case BatchQuery::Form::Plain:
            return plainBatch(request, answer);
        case BatchQuery::Form::Filtered:
            return filteredBatch(request, answer);
        case BatchQuery::Form::Client:
            return clientBatch(request, answer);
    }
    return B_IO_ERROR;
}

int ServerFile::plainBatch(const BatchRequest& request, BatchAnswer& answer) {
    const KeyDefinition* key = request.key ? &layout_.keys[*request.key] : nullptr;
    for (int row = 0; row < result_.rows(); ++row) {
        const auto extracted = result_.bytesAt(row, kBytes);
        if (result_.isNull(row, kBytes) || extracted.size() != request.extraction->width ||
            !examinedRow(result_, row, key, batchKey_, answer) || !answer.keep(answer.lastId, extracted))
            return B_IO_ERROR;
    }
    return batchStatus(request, answer.count, 0);
}

// The records the filter passed came back, and a rejected one only where it
// ends the batch; the numbers in the walk count the rejected ones between.
// The batch ends where the records asked are kept or the reject limit is
// met; the records after that were not examined.
int ServerFile::filteredBatch(const BatchRequest& request, BatchAnswer& answer) {
    const KeyDefinition* key = request.key ? &layout_.keys[*request.key] : nullptr;
    if (result_.rows() > 0 && result_.typeAt(kOrdinal) != kInt8Oid) return B_IO_ERROR;
    std::int64_t previous = 0;
    int status = B_END_OF_FILE;
    for (int row = 0; row < result_.rows() && status == B_END_OF_FILE; ++row) {
        const std::int64_t ordinal = result_.integerAt(row, kOrdinal);
        if (result_.isNull(row, kBytes) || ordinal <= previous) return B_IO_ERROR;
        previous = ordinal;
        const auto extracted = result_.bytesAt(row, kBytes);
        const bool passes = !extracted.empty();
        const std::int64_t rejected = ordinal - answer.count - passes;
        if (rejected < 0 || rejected > request.maxRejects) return B_IO_ERROR;
        status = batchStatus(request, answer.count + passes, static_cast<std::uint32_t>(rejected));
        // The records returned and the last one examined set the position.
        if ((passes || status != B_END_OF_FILE || row + 1 == result_.rows()) &&
            !examinedRow(result_, row, key, batchKey_, answer))
            return B_IO_ERROR;
        if (passes && (extracted.size() != request.extraction->width || !answer.keep(answer.lastId, extracted)))
            return B_IO_ERROR;
    }
    return status;
}

int ServerFile::clientBatch(const BatchRequest& request, BatchAnswer& answer) {
    BatchCollector collect(layout_, request, answer);
    const KeyDefinition* key = request.key ? &layout_.keys[*request.key] : nullptr;
    for (int row = 0; row < result_.rows(); ++row) {
        if (result_.typeAt(kClientData) != kByteaOid || result_.isNull(row, kClientData)) return B_IO_ERROR;
        if (key && !keyFromColumn(result_, row, kClientKey, *key, batchKey_)) return B_IO_ERROR;
        if (!collect.examine(result_.integerAt(row, kClientId), result_.bytesAt(row, kClientData),
                             key ? &batchKey_ : nullptr))
            return collect.status();
    }
    return collect.status();
}

}  // namespace wbtrv
