// Pieces shared by the subcommands: opening a data file with a report on
// failure, and subcommands whose arguments are only file names.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <wbtrv32/client.h>

#include "key_text.h"
#include "subcommands.h"

namespace grimstore {

namespace client = wbtrv::client;

// Opens the data file name in mode and reads its entries; on failure writes
// the error to err and returns false.
bool openAndStat(client::File& file, const std::string& name, client::OpenMode mode, CreateEntries& entries,
                 std::ostream& err);

struct Positional {
    const char* name;
    const char* help;
};

using FilesCommand = std::function<int(const std::vector<std::string>& files, Io& io)>;

// Adds a subcommand taking the given required positional arguments, which
// are handed to run in the same order.
CLI::App* addFilesSubcommand(CLI::App& app, SubcommandContext& context, const std::string& name,
                             const std::string& description, std::initializer_list<Positional> positionals,
                             FilesCommand run);

// Runs one file of a subcommand that takes several; "several" tells it that more
// than one file was named.
using EachFileCommand = std::function<int(const std::string& file, Io& io, bool several)>;

// Adds a subcommand taking one or more FILE arguments; runs each in turn, on to the
// next after a failure, and leaves exit status 1 when any file failed.
CLI::App* addEachFileSubcommand(CLI::App& app, SubcommandContext& context, const std::string& name,
                                const std::string& description, EachFileCommand run);

}  // namespace grimstore
