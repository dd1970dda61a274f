// A batched read as one statement on the server. Its text depends only on
// the request's shape (the walk, the number of terms, each term's type,
// length class, comparison and connector, the number of fields) and on the
// file's own table and key positions; every offset, length and value the
// caller gave is a parameter. Three forms:
//  - Plain, without a filter: the walk limited to the records asked, each
//    record's fields extracted by the server.
//  - Filtered, every term expressible in SQL: the walk limited to the records
//    asked plus the reject limit less one (more are never examined), each
//    record judged by the filter once, numbered, and the records kept so far
//    counted, all in the server; back come the records that passed, with
//    their fields extracted, and of the rejected ones only one that ends the
//    batch (the one that meets the reject limit, or the last of the walk).
//    Each row carries its number in the walk, so the record manager counts
//    the rejected ones between them exactly.
//  - Client: a term SQL cannot compare exactly (case-insensitive, collated,
//    decimal and numeric types, old floats) or a request too large for a
//    readable statement: the same walk and limit, the records' bytes come
//    back and the filter runs on them in the record manager.
#pragma once

#include "core/batch_read.h"
#include "server/pg_connection.h"

#include <string>

namespace wbtrv {

struct BatchQuery {
    enum class Form { Plain, Filtered, Client };
    Form form = Form::Plain;
    std::string sql;
    PgParams params;
};

// Columns of each form's rows.
//   Plain:    id, key column, key bytes, bytes
//   Filtered: id, key column, key bytes, bytes, number in the walk (from 1)
//   Client:   id, data, key column
// `bytes` are the fields extracted, empty for a record the filter rejects,
// NULL for a stored record of the wrong length. The key bytes are NULL for a
// key of one integer segment (its column's value gives them) and along no key.
BatchQuery batchQuery(const FileLayout& layout, const std::string& table, const BatchRequest& request);

}  // namespace wbtrv
