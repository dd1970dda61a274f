// A batched read as one statement on the server. Its text depends only on
// the request's shape (the walk, the number of terms, each term's type,
// length class, comparison and connector, the number of fields) and on the
// file's own table and key positions; every offset, length and value the
// caller gave is a parameter. Three forms:
//  - Plain, without a filter: the walk limited to the records asked, each
//    record's fields extracted by the server.
//  - Filtered, every term expressible in SQL: the walk limited to the records
//    asked plus the reject limit, the filter evaluated by the server, running
//    counts of kept and rejected records (window functions) ending the batch
//    where the record manager would; the records kept and the last one
//    examined come back.
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
//   Plain:    id, key column, key bytes, extracted bytes, sound
//   Filtered: id, key column, key bytes, pass, extracted bytes (kept only), sound, kept so far, rejected so far
//   Client:   id, data, key column
// `sound` is false for a stored record of the wrong length. Along no key the
// key column and key bytes are NULL.
BatchQuery batchQuery(const FileLayout& layout, const std::string& table, const BatchRequest& request);

}  // namespace wbtrv
