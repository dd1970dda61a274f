#include "sql_edits.h"

#include <sqlite3.h>

#include <cstring>

namespace fuzz {

namespace {

void bindValue(sqlite3_stmt* st, const std::uint8_t* edit) {
    std::int64_t value = 0;
    std::memcpy(&value, edit + 3, sizeof value);
    switch (edit[2] % 5) {
        case 0:
            sqlite3_bind_int64(st, 1, value % 256 == 0 ? value : value % 70000);
            break;
        case 1:
            sqlite3_bind_double(st, 1, static_cast<double>(value) * 1e280);
            break;
        case 2:
            sqlite3_bind_text(st, 1, reinterpret_cast<const char*>(edit + 3), 8, SQLITE_TRANSIENT);
            break;
        case 3: {  // of any length: a record or image of the wrong size, or of the right one
            std::uint8_t blob[40] = {};
            std::memcpy(blob, edit + 3, 8);
            sqlite3_bind_blob(st, 1, blob, edit[1] % 40, SQLITE_TRANSIENT);
            break;
        }
        default:
            sqlite3_bind_null(st, 1);
    }
    sqlite3_bind_int64(st, 2, edit[1] % 8 + 1);
}

}  // namespace

void applySqlEdits(const std::string& path, std::span<const std::string> statements, const std::uint8_t* data,
                   std::size_t size) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    for (std::size_t at = 0; at + kEditSize <= size; at += kEditSize) {
        const std::string& sql = statements[data[at] % statements.size()];
        if (sql.find('?') == std::string::npos) {
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
            continue;
        }
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) continue;
        bindValue(st, data + at);
        sqlite3_step(st);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
}

}  // namespace fuzz
