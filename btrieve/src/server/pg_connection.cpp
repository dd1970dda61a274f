#include "server/pg_connection.h"

#include "core/lock_waits.h"
#include "server/server_message.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace wbtrv {
namespace {

std::string bigEndian(std::uint64_t value, int bytes) {
    std::string out(static_cast<std::size_t>(bytes), '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        out[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xff);
    return out;
}

void ignoreNotice(void*, const char*) {}

// A status for an SQLSTATE: its class (the first two characters) mostly decides.
int statusFromState(const std::string& state) {
    if (state == "23505") return B_DUPLICATE_KEY_VALUE;
    if (state == "55P03") return B_FILE_IN_USE;  // lock_timeout passed
    if (state == "40P01") return B_DEADLOCK;
    // insufficient_privilege (the one privilege of class 42, whose others are
    // faults of a statement) and a write in a read-only transaction.
    if (state == "42501" || state == "25006") return B_ACCESS_DENIED;
    const std::string group = state.substr(0, 2);
    if (group == "53") return B_DISK_FULL;
    if (group == "08" || group == "57") return B_SERVER_LOST;
    return B_IO_ERROR;
}

}  // namespace

PgParams& PgParams::integer(std::int64_t value) {
    values_.push_back(bigEndian(static_cast<std::uint64_t>(value), 8));
    nulls_.push_back(false);
    types_.push_back(kInt8Oid);
    return *this;
}

PgParams& PgParams::integer4(std::int32_t value) {
    values_.push_back(bigEndian(static_cast<std::uint32_t>(value), 4));
    nulls_.push_back(false);
    types_.push_back(kInt4Oid);
    return *this;
}

PgParams& PgParams::bytes(std::span<const std::uint8_t> value) {
    values_.emplace_back(reinterpret_cast<const char*>(value.data()), value.size());
    nulls_.push_back(false);
    types_.push_back(kByteaOid);
    return *this;
}

PgParams& PgParams::text(const std::string& value) {
    values_.push_back(value);
    nulls_.push_back(false);
    types_.push_back(kTextOid);
    return *this;
}

PgParams& PgParams::null(Oid type) {
    values_.emplace_back();
    nulls_.push_back(true);
    types_.push_back(type);
    return *this;
}

namespace {

// The binary form of a one-dimensional array: dimensions, null flag, element
// type, length and lower bound, then each element's length (-1 for NULL) and bytes.
template <typename Element, typename Bytes>
std::string arrayOf(std::span<const std::optional<Element>> elements, Oid type, Bytes bytesOf) {
    const bool nulls = std::any_of(elements.begin(), elements.end(), [](const auto& e) { return !e; });
    std::string out =
        bigEndian(1, 4) + bigEndian(nulls, 4) + bigEndian(type, 4) + bigEndian(elements.size(), 4) + bigEndian(1, 4);
    for (const auto& element : elements) {
        if (!element) {
            out += bigEndian(0xFFFFFFFFu, 4);
            continue;
        }
        const std::string bytes = bytesOf(*element);
        out += bigEndian(bytes.size(), 4) + bytes;
    }
    return out;
}

}  // namespace

PgParams& PgParams::integerArray(std::span<const std::optional<std::int64_t>> values) {
    values_.push_back(arrayOf<std::int64_t>(
        values, kInt8Oid, [](std::int64_t v) { return bigEndian(static_cast<std::uint64_t>(v), 8); }));
    nulls_.push_back(false);
    types_.push_back(kInt8ArrayOid);
    return *this;
}

PgParams& PgParams::bytesArray(std::span<const std::optional<std::span<const std::uint8_t>>> values) {
    values_.push_back(arrayOf<std::span<const std::uint8_t>>(values, kByteaOid, [](std::span<const std::uint8_t> v) {
        return std::string(reinterpret_cast<const char*>(v.data()), v.size());
    }));
    nulls_.push_back(false);
    types_.push_back(kByteaArrayOid);
    return *this;
}

std::vector<const char*> PgParams::values() const {
    std::vector<const char*> out;
    for (std::size_t i = 0; i < values_.size(); ++i) out.push_back(nulls_[i] ? nullptr : values_[i].data());
    return out;
}

std::vector<int> PgParams::lengths() const {
    std::vector<int> out;
    for (const std::string& v : values_) out.push_back(static_cast<int>(v.size()));
    return out;
}

PgResult& PgResult::operator=(PgResult&& other) noexcept {
    if (this != &other) {
        PQclear(result_);
        result_ = other.result_;
        other.result_ = nullptr;
    }
    return *this;
}

std::span<const std::uint8_t> PgResult::bytesAt(int row, int column) const {
    const auto* p = reinterpret_cast<const std::uint8_t*>(PQgetvalue(result_, row, column));
    return {p, static_cast<std::size_t>(PQgetlength(result_, row, column))};
}

std::int64_t PgResult::integerAt(int row, int column) const {
    std::uint64_t value = 0;
    for (const std::uint8_t b : bytesAt(row, column)) value = value << 8 | b;
    const std::size_t n = bytesAt(row, column).size();
    // Sign-extend the narrower integer types.
    if (n > 0 && n < 8 && (value >> (8 * n - 1)) & 1) value |= ~std::uint64_t{0} << (8 * n);
    return static_cast<std::int64_t>(value);
}

std::string PgResult::textAt(int row, int column) const {
    const auto bytes = bytesAt(row, column);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

PgConnection::~PgConnection() { PQfinish(conn_); }

int PgConnection::connect(const std::string& server) {
    PQfinish(conn_);
    prepared_.clear();
    // Ours first: what the connection string says wins, where it says it. The
    // application name, which the journal of changes records, is the
    // program's unless the connection string or PGAPPNAME names another.
    const std::array<const char*, 10> keywords = {"connect_timeout",           "keepalives",       "keepalives_idle",
                                                  "keepalives_interval",       "keepalives_count", "tcp_user_timeout",
                                                  "fallback_application_name", "dbname",           nullptr};
    const std::array<const char*, 10> values = {
        "5", "1", "5", "2", "2", "15000", program_invocation_short_name, server.c_str(), nullptr};
    conn_ = PQconnectdbParams(keywords.data(), values.data(), 1);
    if (lost()) {
        noteConnectFailure(conn_, server);
        return B_SERVER_LOST;
    }
    PQsetNoticeProcessor(conn_, &ignoreNotice, nullptr);
    // Every acknowledged commit is on the server's disk; a lock is waited for
    // as long as a file's write lock is.
    const std::string settings = "SET synchronous_commit = on; SET lock_timeout = " + std::to_string(kWriteLockWaitMs);
    return run(settings);
}

void PgConnection::deallocate(const std::string& prefix) {
    for (auto it = prepared_.lower_bound(prefix); it != prepared_.end() && it->starts_with(prefix);) {
        run("DEALLOCATE \"" + *it + "\"");
        it = prepared_.erase(it);
    }
}

bool PgConnection::inTransaction() const { return conn_ && PQtransactionStatus(conn_) != PQTRANS_IDLE; }
bool PgConnection::transactionFailed() const { return conn_ && PQtransactionStatus(conn_) == PQTRANS_INERROR; }

int PgConnection::failure(const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    lastState_ = state ? state : "";
    noteServerMessage(conn_, result);
    if (lost() || !result) return B_SERVER_LOST;
    return statusFromState(lastState_);
}

int PgConnection::run(const std::string& sql, PgResult& out) {
    if (lost()) return B_SERVER_LOST;
    out = PgResult(PQexec(conn_, sql.c_str()));
    const ExecStatusType status = PQresultStatus(out.get());
    if (out.get() && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)) return B_NO_ERROR;
    return failure(out.get());
}

int PgConnection::copyIn(const std::string& sql, std::string_view rows) {
    if (lost()) return B_SERVER_LOST;
    PgResult started(PQexec(conn_, sql.c_str()));
    if (PQresultStatus(started.get()) != PGRES_COPY_IN) return failure(started.get());
    const bool sent = PQputCopyData(conn_, rows.data(), static_cast<int>(rows.size())) == 1;
    if (PQputCopyEnd(conn_, sent ? nullptr : "not sent") != 1) return B_SERVER_LOST;
    int status = B_NO_ERROR;
    while (PGresult* result = PQgetResult(conn_)) {
        const PgResult finished(result);
        if (status == B_NO_ERROR && PQresultStatus(result) != PGRES_COMMAND_OK) status = failure(result);
    }
    return status;
}

int PgConnection::run(const std::string& sql) {
    PgResult result;
    return run(sql, result);
}

int PgConnection::run(const char* name, const std::string& sql, const PgParams& params, PgResult& out) {
    if (lost()) return B_SERVER_LOST;
    const auto values = params.values();
    const auto lengths = params.lengths();
    const std::vector<int> formats(values.size(), 1);
    if (name && !prepared_.contains(name)) {
        PgResult prepared(PQprepare(conn_, name, sql.c_str(), params.size(), params.types().data()));
        if (!prepared.get() || PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) return failure(prepared.get());
        prepared_.insert(name);
    }
    out = PgResult(name ? PQexecPrepared(conn_, name, params.size(), values.data(), lengths.data(), formats.data(), 1)
                        : PQexecParams(conn_, sql.c_str(), params.size(), params.types().data(), values.data(),
                                       lengths.data(), formats.data(), 1));
    const ExecStatusType status = PQresultStatus(out.get());
    if (out.get() && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)) return B_NO_ERROR;
    return failure(out.get());
}

}  // namespace wbtrv
