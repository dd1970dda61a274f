// Insert Extended on a server: the records readied as Inserts one by one
// would ready them, then sent in one COPY (the server's fastest way in), in
// a savepoint; when one of them repeats a unique value, the COPY is undone,
// one statement finds the first such record, and the records before it go
// in by a second COPY. No row goes in that is taken back afterwards, so the
// journal of changes holds only the records that stay.
#include "server/server_file.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>
#include <charconv>

namespace wbtrv {
namespace {

// A number of a row, in text (simple query protocol) or binary form.
bool numberAt(const PgResult& rows, int row, int column, bool text, std::int64_t& value) {
    value = 0;
    if (rows.isNull(row, column)) return true;
    if (!text) {
        value = rows.integerAt(row, column);
        return true;
    }
    const std::string digits = rows.textAt(row, column);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc{} && end == digits.data() + digits.size();
}

void appendBigEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xff);
}

void appendField(std::string& out, std::span<const std::uint8_t> bytes) {
    appendBigEndian(out, bytes.size(), 4);
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The rows in COPY's binary format: the signature, flags and header
// extension, then per row its field count and each field's length (-1 for
// NULL) and bytes (id, data, one value per key), then -1.
std::string copyRows(const FileLayout& layout, std::span<std::vector<std::uint8_t>> records, std::size_t count,
                     std::int64_t first, const std::vector<std::vector<KeyValue>>& values) {
    std::string out("PGCOPY\n\377\r\n\0", 11);
    appendBigEndian(out, 0, 8);
    const auto present =
        std::count_if(layout.keys.begin(), layout.keys.end(), [](const KeyDefinition& k) { return !k.absent(); });
    for (std::size_t i = 0; i < count; ++i) {
        appendBigEndian(out, 2 + static_cast<std::uint64_t>(present), 2);
        appendBigEndian(out, 8, 4);
        appendBigEndian(out, static_cast<std::uint64_t>(first) + i, 8);
        appendField(out, records[i]);
        for (std::size_t k = 0; k < layout.keys.size(); ++k) {
            if (layout.keys[k].absent()) continue;  // a dropped key keeps its number but has no column
            const KeyValue& value = values[i][k];
            if (value.null) {
                appendBigEndian(out, 0xFFFFFFFFu, 4);
            } else if (layout.keys[k].integerColumn()) {
                appendBigEndian(out, 8, 4);
                appendBigEndian(out, static_cast<std::uint64_t>(value.integer), 8);
            } else {
                appendField(out, value.encoded);
            }
        }
    }
    appendBigEndian(out, 0xFFFF, 2);
    return out;
}

}  // namespace

// Outside a transaction of the server, one round trip opens it, takes the
// write lock and reads the highest values; inside one, the highest id the
// transaction remembers spares the server's max(), which would step over
// every row the transaction deleted.
int ServerFile::highestOfAll(std::int64_t& id, std::vector<std::int64_t>& values) {
    const bool opening = !db_.inTransaction();
    const bool needValues =
        std::any_of(layout_.keys.begin(), layout_.keys.end(), [](const KeyDefinition& k) { return k.autoincrement(); });
    values.assign(layout_.keys.size(), 0);
    if (!opening && highestId_ && !needValues) {
        id = *highestId_;
        return B_NO_ERROR;
    }
    const int status =
        opening ? openHeld(statements_.holdFileAndHighestAll) : db_.run(statements_.highestAll, {}, result_);
    if (status != B_NO_ERROR) return status;
    if (result_.rows() != 1 || !numberAt(result_, 0, 0, opening, id)) return B_IO_ERROR;
    for (std::size_t k = 0; k < values.size(); ++k)
        if (!numberAt(result_, 0, static_cast<int>(k) + 1, opening, values[k])) return B_IO_ERROR;
    if (!opening && highestId_) id = *highestId_;
    return B_NO_ERROR;
}

int ServerFile::insertRows(std::span<std::vector<std::uint8_t>> records, std::int64_t& first, std::size_t& inserted,
                           int& refused) {
    inserted = 0;
    std::int64_t highestId = 0;
    std::vector<std::int64_t> highest;
    if (const int status = highestOfAll(highestId, highest); status != B_NO_ERROR) return status;
    first = highestId + 1;
    // Each record readied as an Insert would be, autoincrement values following one another.
    std::vector<std::vector<KeyValue>> values(records.size());
    const auto next = [&](std::size_t k, std::int64_t& value) {
        value = highest[k];
        return B_NO_ERROR;
    };
    std::size_t ready = 0;
    for (refused = B_NO_ERROR; ready < records.size(); ++ready) {
        if ((refused = layout_.readyToInsert(records[ready], values[ready], next)) != B_NO_ERROR) break;
        for (std::size_t k = 0; k < highest.size(); ++k)
            if (layout_.keys[k].autoincrement()) highest[k] = std::max(highest[k], values[ready][k].integer);
    }
    if (ready == 0) return B_NO_ERROR;
    int status = db_.copyIn(statements_.copyRows, copyRows(layout_, records, ready, first, values));
    if (status == B_DUPLICATE_KEY_VALUE) {
        if ((status = db_.run("ROLLBACK TO SAVEPOINT insert_many; RELEASE SAVEPOINT insert_many")) != B_NO_ERROR ||
            (status = firstRepeated(values, ready)) != B_NO_ERROR)
            return status;
        refused = B_DUPLICATE_KEY_VALUE;
        if (ready == 0) return B_NO_ERROR;
        status = db_.copyIn(statements_.copyRows, copyRows(layout_, records, ready, first, values));
    }
    if (status != B_NO_ERROR) return status;
    inserted = ready;
    return db_.run("RELEASE SAVEPOINT insert_many");
}

int ServerFile::firstRepeated(const std::vector<std::vector<KeyValue>>& values, std::size_t& count) {
    if (statements_.firstRepeat.sql.empty()) return B_IO_ERROR;  // only a unique key refuses a row
    PgParams params;
    std::vector<std::optional<std::int64_t>> numbers(count);
    std::vector<std::optional<std::span<const std::uint8_t>>> bytes(count);
    for (std::size_t k = 0; k < layout_.keys.size(); ++k) {
        if (layout_.keys[k].absent() || layout_.keys[k].allowsDuplicates()) continue;
        for (std::size_t i = 0; i < count; ++i) {
            const KeyValue& v = values[i][k];
            numbers[i] = v.null ? std::nullopt : std::optional(v.integer);
            bytes[i] = v.null ? std::nullopt : std::optional(std::span<const std::uint8_t>(v.encoded));
        }
        if (layout_.keys[k].integerColumn())
            params.integerArray(numbers);
        else
            params.bytesArray(bytes);
    }
    if (const int status = db_.run(statements_.firstRepeat, params, result_); status != B_NO_ERROR) return status;
    if (result_.rows() != 1 || result_.isNull(0, 0)) return B_IO_ERROR;
    const std::int64_t row = result_.integerAt(0, 0);
    if (row < 1 || row > static_cast<std::int64_t>(count)) return B_IO_ERROR;
    count = static_cast<std::size_t>(row - 1);
    return B_NO_ERROR;
}

}  // namespace wbtrv
