// Thin owning wrappers around a libpq connection and its results. Every value
// travels as a parameter in binary form; no SQL text is built from caller data.
// Every round trip, connecting included, has a deadline: a server that stops
// answering costs a call that long at most, never a hang.
#pragma once

#include <wbtrv32/libpq_library.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wbtrv {

// Type oids of the parameters and columns we use.
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt4Oid = 23;
constexpr Oid kTextOid = 25;
constexpr Oid kByteaOid = 17;
constexpr Oid kInt8ArrayOid = 1016;
constexpr Oid kByteaArrayOid = 1001;

// A statement prepared once per connection, under its name, the first time it runs.
struct Prepared {
    std::string name;
    std::string sql;
};

// The parameters of one statement, kept in binary form.
class PgParams {
public:
    PgParams& integer(std::int64_t value);
    PgParams& integer4(std::int32_t value);
    PgParams& bytes(std::span<const std::uint8_t> value);
    PgParams& text(const std::string& value);
    PgParams& null(Oid type);
    // One-dimensional arrays (int8[], bytea[]); an absent element is NULL.
    PgParams& integerArray(std::span<const std::optional<std::int64_t>> values);
    PgParams& bytesArray(std::span<const std::optional<std::span<const std::uint8_t>>> values);
    const std::vector<Oid>& types() const { return types_; }
    int size() const { return static_cast<int>(types_.size()); }
    // Pointers into the values, valid while this object is unchanged.
    std::vector<const char*> values() const;
    std::vector<int> lengths() const;

private:
    std::vector<std::string> values_;
    std::vector<bool> nulls_;
    std::vector<Oid> types_;
};

class PgResult {
public:
    PgResult() = default;
    explicit PgResult(PGresult* result) : result_(result) {}
    PgResult(PgResult&& other) noexcept : result_(other.result_) { other.result_ = nullptr; }
    PgResult& operator=(PgResult&& other) noexcept;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;
    ~PgResult() {
        if (result_) libpq().PQclear(result_);
    }

    int rows() const { return result_ ? libpq().PQntuples(result_) : 0; }
    bool isNull(int row, int column) const { return libpq().PQgetisnull(result_, row, column) != 0; }
    Oid typeAt(int column) const { return libpq().PQftype(result_, column); }
    // A bytea, text or other column in binary form, as its bytes.
    std::span<const std::uint8_t> bytesAt(int row, int column) const;
    // An int8, int4 or boolean column in binary form.
    std::int64_t integerAt(int row, int column) const;
    std::string textAt(int row, int column) const;
    // Rows an INSERT, UPDATE or DELETE changed.
    int changedRows() const { return result_ ? std::atoi(libpq().PQcmdTuples(result_)) : 0; }
    PGresult* get() const { return result_; }

private:
    PGresult* result_ = nullptr;
};

class PgConnection {
public:
    PgConnection() = default;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    ~PgConnection();

    // Connects with the connection string (key-value or URI). Returns 0;
    // 20 when the server cannot be reached or does not answer in time, or
    // libpq cannot be loaded; 46
    // when it refuses the login (a wrong or missing password, an unknown
    // role, a role the server does not admit there); 35 for a database it
    // does not have, or a connection string libpq cannot read; 85 when it
    // has no connection left for this role or at all. serverMessage() says
    // which. Connecting gives up after connect_timeout (5 seconds unless the
    // string says otherwise) or the deadline, whichever is sooner; a dead
    // peer is noticed by keepalives on both ends, commits are synchronous,
    // a lock is waited for at most as long as a lock of a file, and a
    // statement runs no longer than the deadline on the server either.
    int connect(const std::string& server);
    // Runs sql with params, answering rows in binary form. A named statement
    // is prepared once on this connection and reused. Returns a status: 0, or
    // the status of the failure (20 once the connection is lost).
    int run(const char* name, const std::string& sql, const PgParams& params, PgResult& out);
    int run(const Prepared& statement, const PgParams& params, PgResult& out) {
        return run(statement.name.c_str(), statement.sql, params, out);
    }
    // Runs one or more statements without parameters; `out` holds the last
    // one's rows, in text form.
    int run(const std::string& sql, PgResult& out);
    int run(const std::string& sql);
    // Runs `sql`, whose last statement is a COPY ... FROM STDIN, and sends
    // it `rows` (the COPY's binary format): 0, or the status of the failure.
    int copyIn(const std::string& sql, std::string_view rows);
    // Forgets the statements prepared here whose names begin with `prefix`,
    // whose text no longer fits the tables they read.
    void deallocate(const std::string& prefix);
    // The SQLSTATE of the last failure ("" when none).
    const std::string& lastState() const { return lastState_; }
    // Lost: never connected, cut, or dropped when a round trip passed its deadline.
    bool lost() const { return !conn_ || broken_ || libpq().PQstatus(conn_) != CONNECTION_OK; }
    // Whether a transaction is open (also one that failed and awaits its rollback).
    // A lost connection may have had one: it counts as open.
    bool inTransaction() const;
    // Whether the open transaction failed: it can only be rolled back.
    bool transactionFailed() const;

private:
    int failure(const PGresult* result);
    int failedConnect(const std::string& server);
    // A round trip starts: it has until the deadline.
    void startRoundTrip() { deadline_ = std::chrono::steady_clock::now() + limit_; }
    // Waits until the socket is ready for `events` (poll's); false at the deadline.
    bool waitFor(short events) const;
    // Sends what libpq holds for the server; false when lost or late.
    bool flushed();
    // The results of what was sent: `out` holds the last, or the first that
    // failed, or a COPY ... FROM STDIN's, which waits for its rows.
    int collect(PgResult& out);
    // Gives the connection up: the socket is shut, so a server that resumes
    // ends the session (and its locks and transaction); answers 20.
    int drop();

    PGconn* conn_ = nullptr;
    bool broken_ = false;
    std::chrono::milliseconds limit_{0};
    std::chrono::steady_clock::time_point deadline_;
    std::set<std::string, std::less<>> prepared_;
    std::string lastState_;
};

}  // namespace wbtrv
