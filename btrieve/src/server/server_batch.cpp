// The batched read of a file on a server: one statement, one round trip
// (server/batch_sql.h), its rows read by the statement's form.
#include "server/batch_sql.h"
#include "server/server_file.h"
#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {
namespace {

// Columns of the batch statements' rows (server/batch_sql.h).
enum PlainColumn { kPlainId, kPlainKey, kPlainKeyBytes, kPlainExtracted, kPlainSound };
enum FilteredColumn { kId, kKey, kKeyBytes, kPass, kExtracted, kSound, kKept, kRejected };
enum ClientColumn { kClientId, kClientData, kClientKey };

// The row's record becomes the batch's last examined one: along a key its
// key column must agree with its key bytes.
bool examinedRow(const PgResult& rows, int row, const KeyDefinition* key, KeyValue& stored, BatchAnswer& answer) {
    const std::int64_t id = rows.integerAt(row, kId);
    if (!key) {
        answer.examined = true;
        answer.lastId = id;
        return true;
    }
    return keyFromColumn(rows, row, kKey, *key, stored) &&
           answer.examinedAlong(*key, id, rows.bytesAt(row, kKeyBytes), stored);
}

}  // namespace

int ServerFile::readBatch(const BatchRequest& request, BatchAnswer& answer) {
    answer.clear();
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
        const auto extracted = result_.bytesAt(row, kPlainExtracted);
        if (!result_.integerAt(row, kPlainSound) || extracted.size() != request.extraction->width ||
            !examinedRow(result_, row, key, batchKey_, answer))
            return B_IO_ERROR;
        answer.keep(answer.lastId, extracted);
    }
    return batchStatus(request, answer.count, 0);
}

int ServerFile::filteredBatch(const BatchRequest& request, BatchAnswer& answer) {
    const KeyDefinition* key = request.key ? &layout_.keys[*request.key] : nullptr;
    std::int64_t kept = 0, rejected = 0;
    for (int row = 0; row < result_.rows(); ++row) {
        if (!result_.integerAt(row, kSound) || !examinedRow(result_, row, key, batchKey_, answer)) return B_IO_ERROR;
        if (result_.integerAt(row, kPass)) {
            const auto extracted = result_.bytesAt(row, kExtracted);
            if (extracted.size() != request.extraction->width) return B_IO_ERROR;
            answer.keep(answer.lastId, extracted);
        }
        kept = result_.integerAt(row, kKept);
        rejected = result_.integerAt(row, kRejected);
    }
    if (kept != answer.count || kept < 0 || rejected < 0) return B_IO_ERROR;
    return batchStatus(request, answer.count, static_cast<std::uint32_t>(std::min<std::int64_t>(rejected, UINT32_MAX)));
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
