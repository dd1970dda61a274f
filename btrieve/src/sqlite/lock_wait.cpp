#include "sqlite/lock_wait.h"

#include <time.h>

namespace wbtrv {
namespace {

constexpr long kMinSleepNs = 50'000;
constexpr long kMaxSleepNs = 400'000;

long nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000 + t.tv_nsec / 1'000'000;
}

}  // namespace

LockWait::LockWait() : jitter_(std::random_device{}()) {}

int LockWait::retry(void* self, int attempt) {
    LockWait& wait = *static_cast<LockWait*>(self);
    if (attempt == 0) wait.startedMs_ = nowMs();
    if (nowMs() - wait.startedMs_ >= kWriteLockWaitMs) return 0;
    const timespec pause{0, std::uniform_int_distribution<long>(kMinSleepNs, kMaxSleepNs)(wait.jitter_)};
    nanosleep(&pause, nullptr);
    return 1;
}

}  // namespace wbtrv
