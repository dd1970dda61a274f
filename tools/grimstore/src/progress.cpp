#include "progress.h"

#include <algorithm>

namespace grimstore {
namespace {

constexpr uint64_t kMinimumRecords = 1000;
constexpr int kBarWidth = 40;

}  // namespace

Progress::Progress(std::ostream& err, bool enabled, std::string label, uint64_t total)
    : err_(err), enabled_(enabled && total >= kMinimumRecords), label_(std::move(label)), total_(total) {}

Progress::~Progress() {
    if (enabled_ && shownPercent_ >= 0)
        err_ << '\r' << std::string(label_.size() + kBarWidth + 8, ' ') << '\r' << std::flush;
}

void Progress::advance(uint64_t done) {
    if (!enabled_) return;
    // Counts from Stat can be stale by the time the walk ends; never pass 100%.
    const int percent = static_cast<int>(std::min<uint64_t>(done * 100 / total_, 100));
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    const int filled = percent * kBarWidth / 100;
    err_ << '\r' << label_ << " [" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] "
         << percent << '%' << std::flush;
}

}  // namespace grimstore
