// A one-line progress bar on the error stream for long runs over many records.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace grimstore {

class Progress {
public:
    // Draws nothing unless enabled (the stream is a terminal) and the work is
    // long enough to be worth a bar.
    Progress(std::ostream& err, bool enabled, std::string label, uint64_t total);
    ~Progress();  // clears the bar
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void advance(uint64_t done);

private:
    std::ostream& err_;
    bool enabled_;
    std::string label_;
    uint64_t total_;
    int shownPercent_ = -1;
};

}  // namespace grimstore
