// Status codes in error messages, in the record manager's own words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace grimstore {

// "grimstore: FILE: ACTION failed with status 12 (file not found)"
std::string statusError(std::string_view file, std::string_view action, int16_t status);

}  // namespace grimstore
