// journal on|off|status FILE...: the journal of changes of data files;
// journal prune FILE --before TIME|--keep N: drops its old entries.
#include "command_support.h"
#include "commands.h"
#include "status_text.h"
#include "time_text.h"

namespace grimstore {
namespace {

void writeRange(const client::JournalState& state, std::ostream& out) {
    if (state.entries == 0) {
        out << "no entries";
        return;
    }
    out << state.entries << (state.entries == 1 ? " entry" : " entries") << ", " << state.firstSequence << " to "
        << state.lastSequence << ", " << formatUtc(state.firstTime) << " to " << formatUtc(state.lastTime);
}

}  // namespace

int runJournalSwitch(const std::string& file, bool on, Io& io) {
    const client::Status status = client::switchJournal(file, on);
    if (status != B_NO_ERROR) {
        io.err << statusError(file, on ? "journal on" : "journal off", status);
        if (status == B_FILE_IN_USE && on)
            io.err << "; a file of an earlier version gets its journal only while no program has it open";
        io.err << '\n';
        return kExitDataError;
    }
    io.out << file << ": journal " << (on ? "on" : "off") << '\n';
    return kExitOk;
}

int runJournalStatus(const std::string& file, Io& io) {
    client::JournalState state;
    if (const client::Status status = client::journalState(file, state); status != B_NO_ERROR) {
        io.err << statusError(file, "journal status", status) << '\n';
        return kExitDataError;
    }
    io.out << file << ": ";
    if (!state.kept) {
        io.out << "no journal (a file of an earlier version; 'grimstore journal on' gives it one)\n";
        return kExitOk;
    }
    io.out << (state.damaged ? "journal damaged, writes are refused" : state.on ? "journal on" : "journal off") << "; ";
    writeRange(state, io.out);
    io.out << '\n';
    return state.damaged ? kExitDataError : kExitOk;
}

int runJournalPrune(const std::string& file, const JournalPruneOptions& options, Io& io) {
    std::uint64_t removed = 0;
    const client::Status status = options.keep ? client::pruneJournalKeeping(file, *options.keep, removed)
                                               : client::pruneJournalBefore(file, options.before.value_or(0), removed);
    if (status != B_NO_ERROR) {
        io.err << statusError(file, "journal prune", status) << '\n';
        return kExitDataError;
    }
    io.out << file << ": pruned " << removed << (removed == 1 ? " entry" : " entries") << '\n';
    return kExitOk;
}

void registerJournal(CLI::App& app, SubcommandContext& context) {
    CLI::App* journal = app.add_subcommand(
        "journal", "Switch the journal of changes of data files on or off, show its state, or prune it.");
    journal->require_subcommand(1);
    for (const bool on : {true, false})
        addEachFileSubcommand(*journal, context, on ? "on" : "off",
                              on ? "Journal every change of the files (a file of an earlier version gets its "
                                   "journal only while no program has it open)."
                                 : "Stop journaling changes of the files; their entries stay.",
                              [on](const std::string& file, Io& io, bool) { return runJournalSwitch(file, on, io); });
    addEachFileSubcommand(*journal, context, "status",
                          "Whether each file's journal is on, and its entries: how many, their sequence numbers "
                          "and times (UTC).",
                          [](const std::string& file, Io& io, bool) { return runJournalStatus(file, io); });

    auto file = std::make_shared<std::string>();
    auto options = std::make_shared<JournalPruneOptions>();
    auto before = std::make_shared<std::string>();
    CLI::App* prune = journal->add_subcommand("prune", "Drop the entries made before a time, or all but the newest N.");
    prune->add_option("FILE", *file, "data file")->required();
    const auto isTime = [](const std::string& text) {
        return parseTime(text) ? std::string() : "not a time such as 2026-03-07T10:05:00Z: " + text;
    };
    CLI::Option* beforeOption =
        prune->add_option("--before", *before, "drop entries made before TIME (ISO 8601; local time without a zone)")
            ->type_name("TIME")
            ->check(CLI::Validator(isTime, "TIME", "time"));
    CLI::Option* keepOption = prune->add_option("--keep", options->keep, "keep only the newest N entries")
                                  ->type_name("N")
                                  ->excludes(beforeOption);
    prune->callback([&context, file, options, before, beforeOption, keepOption] {
        if (beforeOption->count() == 0 && keepOption->count() == 0) {
            context.io.err << "grimstore journal prune: give --before TIME or --keep N\n";
            context.exitStatus = kExitUsageError;
            return;
        }
        if (beforeOption->count() != 0) options->before = parseTime(*before);
        context.exitStatus = runJournalPrune(*file, *options, context.io);
    });
}

}  // namespace grimstore
