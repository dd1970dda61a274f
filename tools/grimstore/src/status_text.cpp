#include "status_text.h"

#include <wbtrv32/btrieve.h>

namespace grimstore {

std::string describeStatus(int16_t status) { return std::to_string(status) + " (" + BTRSTATUSTEXT(status) + ")"; }

std::string statusError(std::string_view file, std::string_view action, int16_t status) {
    return "grimstore: " + std::string(file) + ": " + std::string(action) + " failed with status " +
           describeStatus(status);
}

}  // namespace grimstore
