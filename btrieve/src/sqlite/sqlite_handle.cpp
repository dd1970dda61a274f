#include "sqlite/sqlite_handle.h"

namespace wbtrv {

Statement::~Statement() { sqlite3_finalize(stmt_); }

int Statement::prepare(sqlite3* db, const std::string& sql) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    return sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_,
                              nullptr);
}

void Statement::reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

void Statement::bindBlob(int index, std::span<const std::uint8_t> bytes) {
    // A zero-length blob must still be a blob, not NULL: pass a non-null pointer.
    static const std::uint8_t empty = 0;
    sqlite3_bind_blob(stmt_, index, bytes.empty() ? &empty : bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_STATIC);
}

std::span<const std::uint8_t> Statement::blobAt(int column) const {
    const void* p = sqlite3_column_blob(stmt_, column);
    const int n = sqlite3_column_bytes(stmt_, column);
    if (!p || n <= 0) return {};
    return {static_cast<const std::uint8_t*>(p), static_cast<std::size_t>(n)};
}

std::string Statement::textAt(int column) const {
    const unsigned char* p = sqlite3_column_text(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p),
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
}

Database::~Database() { close(); }

int Database::open(const std::string& path, int flags) {
    close();
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK)
        close();
    else
        sqlite3_extended_result_codes(db_, 1);
    return rc;
}

void Database::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

int Database::exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr); }

std::string Database::lastError() const { return db_ ? sqlite3_errmsg(db_) : "cannot open the file"; }

}  // namespace wbtrv
