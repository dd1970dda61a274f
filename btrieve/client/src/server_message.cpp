// In a file of its own: a program that never asks for the server's words
// does not link BTRSERVERMESSAGE, and so runs with a library older than it.
#include <wbtrv32/client.h>

namespace wbtrv::client {

std::string serverMessage() {
    std::string text(BTRSERVERMESSAGE(nullptr, 0), '\0');
    if (!text.empty()) BTRSERVERMESSAGE(text.data(), static_cast<std::uint32_t>(text.size() + 1));
    return text;
}

}  // namespace wbtrv::client
