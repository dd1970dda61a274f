// The grimstore command line: parses the arguments and runs one subcommand.
#pragma once

#include <string>
#include <vector>

#include "io.h"

namespace grimstore {

// Returns the exit status: 0 ok, 1 data or record-manager error, 2 usage error.
int runGrimstore(int argc, const char* const* argv, Io& io);
// The same, for arguments without the program name.
int runGrimstore(const std::vector<std::string>& args, Io& io);

}  // namespace grimstore
