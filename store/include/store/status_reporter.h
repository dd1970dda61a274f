// Where a failing status is shown: a message box with OK only, no icon and the
// application title. The window's dialogs implement it.
#pragma once

#include <string>

namespace store {

class StatusReporter {
public:
    virtual ~StatusReporter() = default;
    virtual void reportStatus(const std::string& message) = 0;
};

}  // namespace store
