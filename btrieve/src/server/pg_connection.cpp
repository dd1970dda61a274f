#include "server/pg_connection.h"

#include "core/lock_waits.h"
#include "server/server_message.h"

#include <wbtrv32/btrieve.h>

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <climits>

namespace wbtrv {
namespace {

std::string bigEndian(std::uint64_t value, int bytes) {
    std::string out(static_cast<std::size_t>(bytes), '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        out[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xff);
    return out;
}

void ignoreNotice(void*, const char*) {}

// How long one round trip may take: WBTRV32_SERVER_DEADLINE_MS, else 15
// seconds; never less than a lock wait and a second more, so that a lock
// waited for answers 85 rather than 20.
std::chrono::milliseconds roundTripLimit() {
    long long ms = 15000;
    if (const char* variable = std::getenv("WBTRV32_SERVER_DEADLINE_MS"); variable && *variable) {
        char* end = nullptr;
        const long long given = std::strtoll(variable, &end, 10);
        if (*end == '\0' && given > 0) ms = std::min(given, 24LL * 3600 * 1000);
    }
    return std::chrono::milliseconds(std::max<long long>(ms, kWriteLockWaitMs + 1000));
}

// The connect_timeout in effect on conn, in seconds; 0 when none.
long connectTimeout(PGconn* conn) {
    long seconds = 0;
    PQconninfoOption* options = libpq().PQconninfo(conn);
    for (const PQconninfoOption* option = options; option && option->keyword; ++option)
        if (std::string_view(option->keyword) == "connect_timeout" && option->val) seconds = std::atol(option->val);
    libpq().PQconninfoFree(options);
    return seconds;
}

// The SQLSTATE the server gave with its last refusal ("FATAL:  28P01: ..."
// in a verbose message); empty when it gave none (libpq's own failures).
std::string sqlStateIn(const std::string& message) {
    std::string state;
    for (auto at = message.find(":  "); at != std::string::npos; at = message.find(":  ", at + 1)) {
        const std::string_view code = std::string_view(message).substr(at + 3, 6);
        if (code.size() == 6 && code[5] == ':' &&
            std::all_of(code.begin(), code.begin() + 5, [](char c) { return std::isdigit(c) || std::isupper(c); }))
            state = code.substr(0, 5);
    }
    return state;
}

// The status of a login the server refused, by its SQLSTATE.
int statusOfRefusedLogin(const std::string& state) {
    // The role or its password, or its right to connect there.
    if (state.starts_with("28") || state == "42501") return B_ACCESS_DENIED;
    if (state == "3D000") return B_DIRECTORY_ERROR;  // no such database: no such place for the files
    if (state == "53300") return B_FILE_IN_USE;      // every connection slot (of the role or server) taken
    return B_SERVER_LOST;
}

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
        if (result_) libpq().PQclear(result_);
        result_ = other.result_;
        other.result_ = nullptr;
    }
    return *this;
}

std::span<const std::uint8_t> PgResult::bytesAt(int row, int column) const {
    const auto* p = reinterpret_cast<const std::uint8_t*>(libpq().PQgetvalue(result_, row, column));
    return {p, static_cast<std::size_t>(libpq().PQgetlength(result_, row, column))};
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

PgConnection::~PgConnection() {
    if (conn_) libpq().PQfinish(conn_);
}

int PgConnection::connect(const std::string& server) {
    if (conn_) libpq().PQfinish(conn_);
    conn_ = nullptr;
    broken_ = false;
    prepared_.clear();
    // Without libpq no server can be reached.
    if (!libpq().loaded()) {
        noteServerMessage(libpq().failure);
        return B_SERVER_LOST;
    }
    limit_ = roundTripLimit();
    // A string libpq cannot read is refused before anything is connected to.
    char* error = nullptr;
    if (PQconninfoOption* options = libpq().PQconninfoParse(server.c_str(), &error)) {
        libpq().PQconninfoFree(options);
    } else {
        // Never quoted: what libpq says of it may hold the password.
        libpq().PQfreemem(error);
        noteConnectFailure(nullptr, server);
        return B_DIRECTORY_ERROR;
    }
    // Ours first: what the connection string says wins, where it says it. The
    // application name, which the journal of changes records, is the
    // program's unless the connection string or PGAPPNAME names another.
    const std::array<const char*, 10> keywords = {"connect_timeout",           "keepalives",       "keepalives_idle",
                                                  "keepalives_interval",       "keepalives_count", "tcp_user_timeout",
                                                  "fallback_application_name", "dbname",           nullptr};
    const std::array<const char*, 10> values = {
        "5", "1", "5", "2", "2", "15000", program_invocation_short_name, server.c_str(), nullptr};
    conn_ = libpq().PQconnectStartParams(keywords.data(), values.data(), 1);
    if (!conn_) return B_DISK_FULL;  // out of memory
    // The server's refusal then carries its SQLSTATE, which decides the status.
    libpq().PQsetErrorVerbosity(conn_, PQERRORS_VERBOSE);
    const auto timeout = std::chrono::seconds(connectTimeout(conn_));
    deadline_ = std::chrono::steady_clock::now() +
                (timeout.count() > 0 ? std::min<std::chrono::milliseconds>(timeout, limit_) : limit_);
    PostgresPollingStatusType polling =
        libpq().PQstatus(conn_) == CONNECTION_BAD ? PGRES_POLLING_FAILED : PGRES_POLLING_WRITING;
    while (polling != PGRES_POLLING_OK && polling != PGRES_POLLING_FAILED) {
        if (!waitFor(polling == PGRES_POLLING_READING ? POLLIN : POLLOUT)) {
            noteServerMessage("the server did not answer in time");
            drop();
            return B_SERVER_LOST;
        }
        polling = libpq().PQconnectPoll(conn_);
    }
    if (polling == PGRES_POLLING_FAILED) return failedConnect(server);
    libpq().PQsetErrorVerbosity(conn_, PQERRORS_DEFAULT);
    libpq().PQsetNoticeProcessor(conn_, &ignoreNotice, nullptr);
    // Never blocking on a send either: every wait is one poll with the deadline.
    if (libpq().PQsetnonblocking(conn_, 1) != 0) return drop();
    // Every acknowledged commit is on the server's disk; a lock is waited for
    // as long as a file's write lock is; a statement ends on the server by
    // the deadline, as the call does here. The server notices a client that
    // vanished (its locks and transaction go) within about 30 seconds: idle,
    // after 10 s of silence and 3 unanswered probes 5 s apart; sending, when
    // what it sent stays unacknowledged for 20 s.
    const std::string settings = "SET synchronous_commit = on; SET lock_timeout = " + std::to_string(kWriteLockWaitMs) +
                                 "; SET statement_timeout = " + std::to_string(limit_.count()) +
                                 "; SET tcp_keepalives_idle = 10; SET tcp_keepalives_interval = 5;"
                                 " SET tcp_keepalives_count = 3; SET tcp_user_timeout = 20000";
    return run(settings);
}

int PgConnection::failedConnect(const std::string& server) {
    // The words kept are the ones BTRSERVERMESSAGE gives: the password masked.
    noteConnectFailure(conn_, server);
    const std::string said = libpq().PQerrorMessage(conn_);
    if (libpq().PQconnectionNeedsPassword(conn_)) return B_ACCESS_DENIED;
    return statusOfRefusedLogin(sqlStateIn(said));
}

void PgConnection::deallocate(const std::string& prefix) {
    for (auto it = prepared_.lower_bound(prefix); it != prepared_.end() && it->starts_with(prefix);) {
        run("DEALLOCATE \"" + *it + "\"");
        it = prepared_.erase(it);
    }
}

bool PgConnection::inTransaction() const {
    return conn_ && (broken_ || libpq().PQtransactionStatus(conn_) != PQTRANS_IDLE);
}
bool PgConnection::transactionFailed() const {
    return conn_ && !broken_ && libpq().PQtransactionStatus(conn_) == PQTRANS_INERROR;
}

int PgConnection::failure(const PGresult* result) {
    const char* state = result ? libpq().PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    lastState_ = state ? state : "";
    noteServerMessage(conn_, result);
    if (lost() || !result) return B_SERVER_LOST;
    return statusFromState(lastState_);
}

bool PgConnection::waitFor(short events) const {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now()).count();
        if (left <= 0) return false;
        pollfd socket{libpq().PQsocket(conn_), events, 0};
        if (socket.fd < 0) return true;  // libpq tells what became of it
        const int ready = ::poll(&socket, 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
        if (ready != 0 && !(ready < 0 && errno == EINTR)) return true;
    }
}

bool PgConnection::flushed() {
    for (;;) {
        const int left = libpq().PQflush(conn_);
        if (left == 0) return true;
        // The server may be sending meanwhile (notices, an error): read it so neither side stalls.
        if (left < 0 || !waitFor(POLLOUT | POLLIN) || !libpq().PQconsumeInput(conn_)) return false;
    }
}

int PgConnection::drop() {
    if (conn_ && !broken_ && libpq().PQsocket(conn_) >= 0) ::shutdown(libpq().PQsocket(conn_), SHUT_RDWR);
    broken_ = true;
    return B_SERVER_LOST;
}

int PgConnection::collect(PgResult& out) {
    PgResult kept;
    bool failed = false;
    for (;;) {
        while (libpq().PQisBusy(conn_))
            if (!waitFor(POLLIN) || !libpq().PQconsumeInput(conn_)) return drop();
        PGresult* next = libpq().PQgetResult(conn_);
        if (!next) break;
        if (libpq().PQresultStatus(next) == PGRES_COPY_IN && !failed) {
            out = PgResult(next);
            return B_NO_ERROR;
        }
        if (failed) {
            libpq().PQclear(next);
            continue;
        }
        const ExecStatusType status = libpq().PQresultStatus(next);
        failed = status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK;
        kept = PgResult(next);
    }
    out = std::move(kept);
    if (failed || !out.get()) return failure(out.get());
    return B_NO_ERROR;
}

int PgConnection::run(const std::string& sql, PgResult& out) {
    if (lost()) return B_SERVER_LOST;
    startRoundTrip();
    if (!libpq().PQsendQuery(conn_, sql.c_str()) || !flushed()) return drop();
    return collect(out);
}

int PgConnection::copyIn(const std::string& sql, std::string_view rows) {
    PgResult started;
    if (const int status = run(sql, started); status != B_NO_ERROR) return status;
    if (libpq().PQresultStatus(started.get()) != PGRES_COPY_IN) return failure(started.get());
    startRoundTrip();
    int queued = 0;
    while ((queued = libpq().PQputCopyData(conn_, rows.data(), static_cast<int>(rows.size()))) == 0)
        if (!waitFor(POLLOUT)) return drop();
    while ((queued = libpq().PQputCopyEnd(conn_, queued == 1 ? nullptr : "not sent")) == 0)
        if (!waitFor(POLLOUT)) return drop();
    if (queued < 0 || !flushed()) return drop();
    PgResult finished;
    return collect(finished);
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
        startRoundTrip();
        if (!libpq().PQsendPrepare(conn_, name, sql.c_str(), params.size(), params.types().data()) || !flushed())
            return drop();
        PgResult prepared;
        if (const int status = collect(prepared); status != B_NO_ERROR) return status;
        prepared_.insert(name);
    }
    startRoundTrip();
    const int sent =
        name ? libpq().PQsendQueryPrepared(conn_, name, params.size(), values.data(), lengths.data(), formats.data(), 1)
             : libpq().PQsendQueryParams(conn_, sql.c_str(), params.size(), params.types().data(), values.data(),
                                         lengths.data(), formats.data(), 1);
    if (!sent || !flushed()) return drop();
    return collect(out);
}

}  // namespace wbtrv
