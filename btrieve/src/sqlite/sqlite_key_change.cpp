// Changes to an SQLite data file itself: its keys (Create Index, Drop Index)
// and, through changeAlone, its owner.
#include "core/key_sql.h"
#include "sqlite/schema.h"
#include "sqlite/sqlite_file.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {
namespace {

// What the SQL function computing an added key's values needs, and what it met.
struct AddedKey {
    const KeyDefinition& key;
    bool uncomputable = false;  // a value the key's column cannot hold
};

// added_key(data): the value of the added key in a record's bytes, as its column keeps it.
void addedKeyValue(sqlite3_context* context, int, sqlite3_value** arguments) {
    auto& added = *static_cast<AddedKey*>(sqlite3_user_data(context));
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_value_blob(arguments[0]));
    const std::span<const std::uint8_t> record(bytes,
                                               bytes ? static_cast<std::size_t>(sqlite3_value_bytes(arguments[0])) : 0);
    KeyValue value;
    if (sqlite3_value_type(arguments[0]) != SQLITE_BLOB || !added.key.fitsIn(record)) {
        sqlite3_result_error(context, "a record shorter than the key", -1);
    } else if (!added.key.valueFromRecord(record, value)) {
        added.uncomputable = true;
        sqlite3_result_error(context, "a key value out of range", -1);
    } else if (value.null) {
        sqlite3_result_null(context);
    } else if (added.key.integerColumn()) {
        sqlite3_result_int64(context, value.integer);
    } else {
        sqlite3_result_blob(context, value.encoded.data(), static_cast<int>(value.encoded.size()), SQLITE_TRANSIENT);
    }
}

}  // namespace

// Another process's open is seen by its shared open lock; the exclusive one
// taken here keeps every other process out until the change is done.
int SqliteFile::changeAlone(const std::function<int()>& change) {
    if (broken_) return B_IO_ERROR;
    if (const int status = lock_.makeExclusive(); status != B_NO_ERROR) {
        broken_ = status == B_IO_ERROR;  // the open lock is lost: nothing more is done through this file
        return status;
    }
    int status = step(begin_);
    if (status == B_NO_ERROR) {
        status = change();
        const int ended = step(status == B_NO_ERROR ? commit_ : rollback_);
        if (status == B_NO_ERROR) status = ended;
        if (!sqlite3_get_autocommit(db_.get())) step(rollback_);
    }
    lock_.makeShared();
    return status;
}

// The records' table is built anew under another name, each key column
// taken from the one it was or computed for the key added, then it takes
// data_t's place and every index is made for the new numbers.
int SqliteFile::changeKeys(const KeyChange& change) {
    std::string columns = "id, data", sources = "id, data";
    for (std::size_t k = 0; k < change.layout.keys.size(); ++k) {
        if (change.layout.keys[k].absent()) continue;
        columns += ", " + keyColumn(k);
        sources +=
            ", " + (change.formerNumber[k] ? keyColumn(*change.formerNumber[k]) : std::string("added_key(data)"));
    }
    std::optional<AddedKey> added;
    if (change.added) added.emplace(AddedKey{change.layout.keys[*change.added]});
    sqlite3_create_function_v2(db_.get(), "added_key", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, added ? &*added : nullptr,
                               added ? &addedKeyValue : nullptr, nullptr, nullptr, nullptr);
    const std::string sql = "DELETE FROM keys_t;" + keyRowsSql(change.layout) +
                            dataTableSql(change.layout, "data_changed") + "INSERT INTO data_changed(" + columns +
                            ") SELECT " + sources + " FROM data_t; DROP TABLE data_t;" +
                            "ALTER TABLE data_changed RENAME TO data_t;" + keyIndexesSql(change.layout);
    int status = changeAlone([&] {
        const int rc = db_.exec(sql);
        return added && added->uncomputable ? B_OPERATION_NOT_ALLOWED : statusFromSqlite(rc);
    });
    sqlite3_create_function_v2(db_.get(), "added_key", 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (status != B_NO_ERROR) return status;
    layout_ = change.layout;
    // The journal's triggers went with the former table: the next write puts them back.
    journal_.forget();
    status = prepareForLayout();
    // A file whose statements cannot be made again answers 2 until it is closed.
    if (status != B_NO_ERROR) broken_ = true;
    return status;
}

}  // namespace wbtrv
