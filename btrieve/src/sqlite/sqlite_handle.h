// Thin owning wrappers around an SQLite connection and a prepared statement.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>

namespace wbtrv {

class Statement {
public:
    Statement() = default;
    Statement(Statement&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Prepares sql on db; returns the SQLite result code.
    int prepare(sqlite3* db, const std::string& sql);
    bool prepared() const { return stmt_ != nullptr; }

    // Steps once; SQLITE_ROW or SQLITE_DONE on success.
    int step() { return sqlite3_step(stmt_); }
    // Resets for the next use and drops the bindings, so blobs are not kept.
    void reset();

    void bindInteger(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
    void bindNull(int index) { sqlite3_bind_null(stmt_, index); }
    // The bytes must stay alive until reset().
    void bindBlob(int index, std::span<const std::uint8_t> bytes);

    std::int64_t integerAt(int column) const { return sqlite3_column_int64(stmt_, column); }
    int typeAt(int column) const { return sqlite3_column_type(stmt_, column); }
    std::span<const std::uint8_t> blobAt(int column) const;
    std::string textAt(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Resets a statement when a scope ends, whatever path it leaves by.
class StatementUse {
public:
    explicit StatementUse(Statement& s) : stmt_(s) {}
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;
    ~StatementUse() { stmt_.reset(); }
    Statement* operator->() { return &stmt_; }

private:
    Statement& stmt_;
};

class Database {
public:
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Opens path with the given sqlite3_open_v2 flags; returns the result code.
    int open(const std::string& path, int flags);
    void close();
    int exec(const std::string& sql);
    sqlite3* get() const { return db_; }
    std::string lastError() const;

private:
    sqlite3* db_ = nullptr;
};

}  // namespace wbtrv
