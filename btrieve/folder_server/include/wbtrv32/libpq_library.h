// libpq, the PostgreSQL client library, loaded the first time a server is
// named, not when the record manager is: most processes work on files only,
// and loading libpq with the libraries it needs in turn (Kerberos, LDAP, TLS,
// SASL) would cost each of them milliseconds of start-up. Only libpq's
// header is compiled in, for its types; its functions are called through
// the table below.
#pragma once

#include <libpq-fe.h>

#include <string>

namespace wbtrv {

// The library's file name, its ABI's: the one its package installs.
inline constexpr const char* kLibpqName = "libpq.so.5";

// The functions of libpq that are called, each once here.
// clang-format off
#define WBTRV32_LIBPQ_FUNCTIONS(X) \
    X(PQclear) X(PQcmdTuples) X(PQconnectPoll) X(PQconnectStartParams) X(PQconnectionNeedsPassword) \
    X(PQconninfo) X(PQconninfoFree) X(PQconninfoParse) X(PQconsumeInput) X(PQerrorMessage) \
    X(PQfinish) X(PQflush) X(PQfreemem) X(PQftype) X(PQgetResult) X(PQgetisnull) X(PQgetlength) \
    X(PQgetvalue) X(PQisBusy) X(PQntuples) X(PQputCopyData) X(PQputCopyEnd) X(PQresultErrorField) \
    X(PQresultStatus) X(PQsendPrepare) X(PQsendQuery) X(PQsendQueryParams) X(PQsendQueryPrepared) \
    X(PQsetErrorVerbosity) X(PQsetNoticeProcessor) X(PQsetnonblocking) X(PQsocket) X(PQstatus) \
    X(PQtransactionStatus)
// clang-format on

struct Libpq {
#define WBTRV32_LIBPQ_POINTER(name) decltype(&::name) name = nullptr;
    WBTRV32_LIBPQ_FUNCTIONS(WBTRV32_LIBPQ_POINTER)
#undef WBTRV32_LIBPQ_POINTER
    // Why the library or one of its functions could not be loaded, for
    // BTRSERVERMESSAGE; empty when every function above is there.
    std::string failure;
    bool loaded() const { return failure.empty(); }
};

// libpq's functions, loaded by the first call in the process (whichever
// thread makes it; the others wait for it) and kept for the rest of it.
const Libpq& libpq();

}  // namespace wbtrv
