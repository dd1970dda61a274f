// Where a subcommand writes, and the exit statuses every subcommand returns.
#pragma once

#include <ostream>

namespace grimstore {

enum ExitStatus : int {
    kExitOk = 0,
    kExitDataError = 1,   // the record manager or the data refused the work
    kExitUsageError = 2,  // the command line itself was wrong
};

struct Io {
    std::ostream& out;
    std::ostream& err;
    bool progress = false;       // draw progress bars on err (only when it is a terminal)
    bool outIsTerminal = false;  // out is a terminal: plain lines rather than JSON where a subcommand offers both
};

}  // namespace grimstore
