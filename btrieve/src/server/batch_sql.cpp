#include "server/batch_sql.h"

#include "core/key_sql.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {
namespace {

// Beyond these a statement grows too deep to be worth preparing: the record
// manager evaluates such filters, and extracts such fields, itself.
constexpr std::size_t kMaxSqlTerms = 16;
constexpr std::size_t kMaxSqlFields = 16;

const char* const kInt8Min = "(-9223372036854775807::int8 - 1)";

// How a term's field compares in SQL: as bytes (bytea compares as unsigned
// bytes, then the shorter first), as an int8 that orders as the type does,
// or not exactly at all.
enum class TermForm { Bytes, Integer, None };

TermForm termForm(const FilterTerm& term) {
    if (term.field.attributes & (B_KEY_NOCASE | B_KEY_ALT_COLLATING)) return TermForm::None;
    switch (term.field.dataType) {
        case B_TYPE_STRING:
        case B_TYPE_LSTRING:
        case B_TYPE_ZSTRING:
            return TermForm::Bytes;
        case B_TYPE_INTEGER:
        case B_TYPE_AUTOINCREMENT:
        case B_TYPE_UNSIGNED_BINARY:
        case B_TYPE_LOGICAL:
        case B_TYPE_DATE:
        case B_TYPE_TIME:
        case B_TYPE_FLOAT:
            return TermForm::Integer;
        default:
            return TermForm::None;
    }
}

std::string parameter(int n) { return std::string("$").append(std::to_string(n)); }

// The n bytes at offset o, little-endian, as an int8 (for 8 bytes: their bits).
std::string littleEndian(const std::string& o, std::uint32_t n) {
    std::string sql = "(get_byte(data, " + o + ")::int8";
    for (std::uint32_t i = 1; i < n; ++i)
        sql += " | (get_byte(data, " + o + " + " + std::to_string(i) + ")::int8 << " + std::to_string(8 * i) + ")";
    return sql + ")";
}

// The field's order-preserving encoding (core/key_encoding.h) read as a
// big-endian number, with the top bit flipped when it is 8 bytes wide so
// that int8 order is its order: what integerValue() makes of a value.
std::string integerField(std::uint8_t type, std::uint32_t n, const std::string& o) {
    const std::string u = littleEndian(o, n);
    const std::string top = n == 8 ? kInt8Min : std::to_string(std::uint64_t{1} << (8 * n - 1));
    switch (type) {
        case B_TYPE_INTEGER:
        case B_TYPE_AUTOINCREMENT:
        case B_TYPE_DATE:  // year (sign flipped), month, day: the bytes reversed
            return n == 8 ? u : "(" + u + " # " + top + ")";
        case B_TYPE_FLOAT:
            // Negative values inverted, others with the sign bit set; -0 as +0, NaN above infinity.
            if (n == 4)
                return "(CASE WHEN (" + u + " & 2147483647) > 2139095040 THEN 4290772992 WHEN " + u +
                       " = 2147483648 THEN 2147483648 WHEN " + u + " >= 2147483648 THEN 4294967295 - " + u + " ELSE " +
                       u + " + 2147483648 END)";
            return "(CASE WHEN (" + u + " & 9223372036854775807) > 9218868437227405312 THEN 9221120237041090560 WHEN " +
                   u + " = " + kInt8Min + " THEN 0 WHEN " + u + " < 0 THEN (~" + u + ") # " + kInt8Min + " ELSE " + u +
                   " END)";
        default:  // unsigned, logical, time (hours, minutes, seconds, hundredths: the bytes reversed)
            return n == 8 ? "(" + u + " # " + kInt8Min + ")" : u;
    }
}

std::int64_t integerValue(const std::vector<std::uint8_t>& encoded) {
    std::uint64_t value = 0;
    for (const std::uint8_t b : encoded) value = value << 8 | b;
    if (encoded.size() == 8) value ^= std::uint64_t{1} << 63;
    return static_cast<std::int64_t>(value);
}

// The bytes of a string field that count, as bytea: all of a string, the
// counted ones of an lstring, those before the first zero of a zstring.
std::string bytesField(std::uint8_t type, const std::string& o, const std::string& l) {
    switch (type) {
        case B_TYPE_LSTRING:
            return "substring(data from " + o + " + 2 for least(get_byte(data, " + o + "), " + l + " - 1))";
        case B_TYPE_ZSTRING:
            return "substring(data from " + o +
                   " + 1 for coalesce(nullif(position(decode('00', 'hex') in substring(data from " + o + " + 1 for " +
                   l + ")), 0) - 1, " + l + "))";
        default:
            return "substring(data from " + o + " + 1 for " + l + ")";
    }
}

std::span<const std::uint8_t> bytesValue(const FilterTerm& term) {
    const std::span<const std::uint8_t> value = term.value;
    if (term.field.dataType == B_TYPE_LSTRING)
        return value.subspan(1, std::min<std::size_t>(value[0], value.size() - 1));
    if (term.field.dataType == B_TYPE_ZSTRING)
        return value.first(static_cast<std::size_t>(std::find(value.begin(), value.end(), 0) - value.begin()));
    return value;
}

const char* comparisonSql(Comparison comparison) {
    static const char* const operators[] = {"=", ">", "<", "<>", ">=", "<="};
    return operators[static_cast<int>(comparison) - 1];
}

// One term, its offset and length (and value, or other offset) the next parameters.
std::string termSql(const FilterTerm& term, PgParams& params) {
    const bool integer = termForm(term) == TermForm::Integer;
    const auto field = [&](std::uint32_t offset) {
        const std::string o = parameter(params.size() + 1), l = parameter(params.size() + 2);
        params.integer4(static_cast<std::int32_t>(offset)).integer4(static_cast<std::int32_t>(term.field.length));
        return integer ? integerField(term.field.dataType, term.field.length, o)
                       : bytesField(term.field.dataType, o, l);
    };
    const std::string left = field(term.field.offset);
    std::string right;
    if (term.otherOffset) {
        right = field(*term.otherOffset);
    } else {
        right = parameter(params.size() + 1);
        if (integer)
            params.integer(integerValue(term.encodedValue));
        else
            params.bytes(bytesValue(term));
    }
    return "(" + left + " " + comparisonSql(term.comparison) + " " + right + ")";
}

// Strictly left to right: T1 c1 (T2 c2 (T3 ...)).
std::string filterSql(const RecordFilter& filter, PgParams& params) {
    std::string sql, closing;
    for (const FilterTerm& term : filter.terms) {
        sql += termSql(term, params);
        if (term.connector == Connector::Last) break;
        sql += term.connector == Connector::And ? " AND (" : " OR (";
        closing += ")";
    }
    return sql + closing;
}

std::string extractionSql(const Extraction& extraction, PgParams& params) {
    std::string sql;
    for (const ExtractedField& field : extraction.fields) {
        if (!sql.empty()) sql += " || ";
        sql += "substring(data from " + parameter(params.size() + 1) + " + 1 for " + parameter(params.size() + 2) + ")";
        params.integer4(static_cast<std::int32_t>(field.offset)).integer4(static_cast<std::int32_t>(field.length));
    }
    return sql;
}

// The key's bytes in the record, from the file's own segment positions.
std::string keyBytesSql(const KeyDefinition& key) {
    std::string sql;
    for (const KeySegment& s : key.segments) {
        if (!sql.empty()) sql += " || ";
        sql += "substring(data from " + std::to_string(s.offset + 1) + " for " + std::to_string(s.length) + ")";
    }
    return sql;
}

}  // namespace

BatchQuery batchQuery(const FileLayout& layout, const std::string& table, const BatchRequest& request) {
    BatchQuery query;
    const RecordFilter& filter = *request.filter;
    const Extraction& extraction = *request.extraction;
    const bool expressible = filter.terms.size() <= kMaxSqlTerms && extraction.fields.size() <= kMaxSqlFields &&
                             std::none_of(filter.terms.begin(), filter.terms.end(),
                                          [](const FilterTerm& t) { return termForm(t) == TermForm::None; });
    query.form = !expressible           ? BatchQuery::Form::Client
                 : filter.terms.empty() ? BatchQuery::Form::Plain
                                        : BatchQuery::Form::Filtered;

    // $1 the starting key value, $2 the starting id, $3 the records the walk may examine;
    // filtered, $4 the records asked and $5 the reject limit.
    PgParams& params = query.params;
    const KeyDefinition* key = request.key ? &layout.keys[*request.key] : nullptr;
    if (!key)
        params.null(kInt8Oid);
    else if (key->integerColumn())
        params.integer(request.value.integer);
    else
        params.bytes(request.value.encoded);
    const std::int64_t examined =
        query.form == BatchQuery::Form::Plain ? request.wanted : std::int64_t{request.wanted} + request.maxRejects - 1;
    params.integer(request.id).integer(examined);

    const bool uniqueKey = key && !key->allowsDuplicates();
    std::string walk = "(";
    walk += batchWalkSql(request.key, request.forward, request.start, table, '$', uniqueKey);
    walk += " LIMIT $3) AS walk(id, data, k)";
    const std::string down = request.forward ? "" : " DESC";
    // The walk's own order, which the statement keeps without sorting.
    const std::string order = !key ? "id" + down : uniqueKey ? "k" + down : "k" + down + ", id" + down;
    if (query.form == BatchQuery::Form::Client) {
        query.sql = "SELECT id, data, k FROM " + walk + " ORDER BY " + order;
        return query;
    }
    // Key bytes come back for a key whose column does not give them back (not one integer segment).
    const std::string keyBytes = key && !key->integerColumn() ? keyBytesSql(*key) : "NULL::bytea";
    // A record of the wrong length is neither filtered (its fields may lie past its end) nor
    // extracted: its bytes come back NULL.
    const std::string sound = "octet_length(data) " + std::string(layout.variableLength ? ">=" : "=") + " " +
                              std::to_string(layout.recordLength);
    std::string bytes;
    if (query.form == BatchQuery::Form::Plain) {
        bytes = "CASE WHEN " + sound + " THEN " + extractionSql(extraction, params) + " END";
        query.sql = "SELECT id, k, " + keyBytes + ", " + bytes + " FROM " + walk + " ORDER BY " + order;
        return query;
    }
    params.integer(request.wanted).integer(request.maxRejects);
    const std::string pass = filterSql(filter, params);
    bytes = "CASE WHEN " + sound + " THEN CASE WHEN " + pass + " THEN " + extractionSql(extraction, params) +
            " ELSE ''::bytea END END";
    // Each record judged once, below an OFFSET that keeps the planner from
    // repeating the filter, then numbered and counted in the walk's order
    // (the window holds no record's bytes). A record is examined while fewer
    // than $4 were kept and fewer than $5 rejected before it; of those, the
    // rejected ones stay on the server, except the one that meets the reject
    // limit and the last of the walk, which become the position.
    const std::string judged = "(SELECT id, k, " + keyBytes + ", " + bytes + " FROM " + walk + " ORDER BY " + order +
                               " OFFSET 0) AS judged(id, k, key_bytes, bytes)";
    const std::string counted =
        "(SELECT id, k, key_bytes, bytes, (octet_length(bytes) > 0)::int AS passed, row_number() OVER w AS n,"
        " count(*) FILTER (WHERE octet_length(bytes) > 0) OVER w AS kept, lead(false, 1, true) OVER w AS last"
        " FROM " +
        judged + " WINDOW w AS (ORDER BY " + order + " ROWS UNBOUNDED PRECEDING)) AS counted";
    query.sql = "SELECT id, k, key_bytes, bytes, n FROM " + counted +
                " WHERE kept - coalesce(passed, 0) < $4 AND n - 1 - kept + coalesce(passed, 0) < $5"
                " AND (passed IS DISTINCT FROM 0 OR n - kept = $5 OR last) ORDER BY " +
                order;
    return query;
}

}  // namespace wbtrv
