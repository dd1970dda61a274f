// How a call waits for the write lock another process holds on an SQLite file.
#pragma once

#include "core/lock_waits.h"

#include <random>

namespace wbtrv {

// The waiting of one connection, installed as its SQLite busy handler.
// SQLite's own timeout sleeps ever longer (up to 100 ms), so a waiter that
// wakes rarely loses the lock to writers that retry at once and starves
// although each holds the lock for milliseconds. This one retries every
// fraction of a millisecond, at a jittered moment so waiters do not wake
// together, until kWriteLockWaitMs have passed since the first try.
class LockWait {
public:
    LockWait();
    // The busy handler; `self` is the LockWait of the connection.
    static int retry(void* self, int attempt);

private:
    long startedMs_ = 0;
    std::minstd_rand jitter_;
};

}  // namespace wbtrv
