#include "status_text.h"

#include <wbtrv32/client.h>

namespace grimstore {

std::string statusError(std::string_view file, std::string_view action, int16_t status) {
    std::string text = "grimstore: " + std::string(file) + ": " + std::string(action) + " failed with status " +
                       wbtrv::client::describeStatus(status);
    if (const std::string server = wbtrv::client::serverMessage(); !server.empty())
        text += " (the server: " + server + ")";
    return text;
}

}  // namespace grimstore
