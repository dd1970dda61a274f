// grimstore: create, fill, export, inspect and check record-manager data files.
#include <unistd.h>

#include <iostream>

#include "cli.h"

int main(int argc, char** argv) {
    grimstore::Io io{std::cout, std::cerr, isatty(STDERR_FILENO) == 1, isatty(STDOUT_FILENO) == 1};
    return grimstore::runGrimstore(argc, argv, io);
}
