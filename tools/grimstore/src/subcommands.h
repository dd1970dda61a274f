// The table of subcommands the command line offers. Each entry adds one
// subcommand, with its options and help, to the application.
#pragma once

#include <span>

#include <CLI/CLI.hpp>

#include "io.h"

namespace grimstore {

// Shared by the subcommands of one run: where to write, and the exit status
// the chosen subcommand's callback leaves behind.
struct SubcommandContext {
    Io& io;
    int exitStatus = kExitOk;
};

using SubcommandRegistration = void (*)(CLI::App& app, SubcommandContext& context);

void registerCreate(CLI::App& app, SubcommandContext& context);
void registerSave(CLI::App& app, SubcommandContext& context);
void registerLoad(CLI::App& app, SubcommandContext& context);
void registerStat(CLI::App& app, SubcommandContext& context);
void registerCheck(CLI::App& app, SubcommandContext& context);
void registerDump(CLI::App& app, SubcommandContext& context);
void registerDemo(CLI::App& app, SubcommandContext& context);
void registerCopy(CLI::App& app, SubcommandContext& context);
void registerJournal(CLI::App& app, SubcommandContext& context);
void registerHistory(CLI::App& app, SubcommandContext& context);
void registerRevert(CLI::App& app, SubcommandContext& context);
void registerAsOf(CLI::App& app, SubcommandContext& context);
void registerDiff(CLI::App& app, SubcommandContext& context);
void registerChanges(CLI::App& app, SubcommandContext& context);
void registerApply(CLI::App& app, SubcommandContext& context);
void registerCheckWorld(CLI::App& app, SubcommandContext& context);
void registerFind(CLI::App& app, SubcommandContext& context);

// Every subcommand, in the order --help lists them.
std::span<const SubcommandRegistration> subcommandRegistrations();

}  // namespace grimstore
