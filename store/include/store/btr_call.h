// The one way the editor reaches the record manager: a function value that
// defaults to BTRCALL, so that a test can wrap it and fail any chosen call.
#pragma once

#include <wbtrv32/client.h>

namespace store {

using BtrCall = wbtrv::client::EntryPoint;

// Calls the record manager's BTRCALL.
inline BtrCall recordManagerCall() { return wbtrv::client::recordManager(); }

}  // namespace store
