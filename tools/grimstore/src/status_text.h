// Status codes in error messages, in the record manager's own words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace grimstore {

// "grimstore: FILE: ACTION failed with status 12 (file not found)", and when
// the call failed on a server, its own words: "... 46 (access denied) (the
// server: permission denied for table wbtrv_files)". Made right after the
// failed call, before any other.
std::string statusError(std::string_view file, std::string_view action, int16_t status);

}  // namespace grimstore
