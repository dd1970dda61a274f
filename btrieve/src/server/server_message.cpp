#include "server/server_message.h"

#include <wbtrv32/libpq_library.h>

#include <cstdlib>
#include <memory>

namespace wbtrv {
namespace {

std::string& message() {
    thread_local std::string held;
    return held;
}

// The first line of a libpq message, without the severity libpq puts before it.
std::string firstLine(const char* text) {
    std::string line = text ? text : "";
    line = line.substr(0, line.find('\n'));
    if (line.starts_with("ERROR:  ") || line.starts_with("FATAL:  ")) line.erase(0, 8);
    return line;
}

void mask(std::string& text, const std::string& secret) {
    if (secret.empty()) return;
    for (auto at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
        text.replace(at, secret.size(), "***");
}

}  // namespace

const std::string& serverMessage() { return message(); }

void noteServerMessage(const pg_conn* conn, const pg_result* result) {
    const char* primary = result ? libpq().PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    message() = primary ? std::string(primary) : firstLine(libpq().PQerrorMessage(conn));
}

void noteServerMessage(std::string words) { message() = std::move(words); }

void noteConnectFailure(const pg_conn* conn, const std::string& server) {
    char* unread = nullptr;
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        libpq().PQconninfoParse(server.c_str(), &unread), libpq().PQconninfoFree);
    libpq().PQfreemem(unread);
    if (!options) {
        message() = "the connection string cannot be read";
        return;
    }
    std::string text = firstLine(libpq().PQerrorMessage(conn));
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option)
        if (option->val && std::string(option->keyword) == "password") mask(text, option->val);
    if (const char* variable = std::getenv("PGPASSWORD")) mask(text, variable);
    message() = std::move(text);
}

ServerMessageCall::ServerMessageCall() { message().clear(); }

int ServerMessageCall::finish(int status) const {
    if (status == 0) message().clear();
    return status;
}

}  // namespace wbtrv
