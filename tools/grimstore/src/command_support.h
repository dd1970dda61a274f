// Pieces shared by the subcommands: opening a data file with a report on
// failure, and subcommands whose arguments are only file names.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "data_file.h"
#include "subcommands.h"

namespace grimstore {

// Opens file in mode and reads its specification; on failure writes the
// error to err and returns false.
bool openAndStat(DataFile& file, int8_t mode, FileSpec& spec, std::ostream& err);

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
