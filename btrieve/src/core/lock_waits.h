// How long a call waits for another process before it answers.
#pragma once

namespace wbtrv {

// A write waits this long for another process's write to the same file
// (its write lock) before it answers 85, on either engine.
constexpr int kWriteLockWaitMs = 5000;

}  // namespace wbtrv
