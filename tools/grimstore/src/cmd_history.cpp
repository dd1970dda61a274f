// history FILE [--record N] [--since SEQ|TIME] [--json]: the entries of a data
// file's journal, newest first, each with the fields (or bytes) it changed.
#include "commands.h"
#include "journal_reading.h"
#include "progress.h"
#include "status_text.h"

namespace grimstore {

int runHistory(const std::string& file, const HistoryOptions& options, Io& io) {
    client::File data;
    CreateEntries entries;
    client::JournalState state;
    if (!openAndStat(data, file, client::OpenMode::ReadOnly, entries, io.err) || !keepsJournal(file, state, io))
        return kExitDataError;
    if (state.damaged) io.err << "grimstore: " << file << ": the journal is damaged; its readable entries follow\n";
    const EntryReader reader(file, entries);
    client::JournalQuery query;
    query.record = options.record;
    if (options.since) applySince(*options.since, query);
    Progress progress(io.err, io.progress && !options.record, "reading the journal of " + file, state.entries);
    uint64_t read = 0;
    const client::Status status = client::readJournal(file, query, [&](client::JournalEntry&& entry) {
        if (options.json)
            io.out << reader.json(entry).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        else
            io.out << reader.line(entry) << '\n';
        progress.advance(++read);
        return bool(io.out);
    });
    if (status != B_NO_ERROR) {
        io.err << statusError(file, "reading the journal", status) << '\n';
        return kExitDataError;
    }
    return state.damaged ? kExitDataError : kExitOk;
}

void registerHistory(CLI::App& app, SubcommandContext& context) {
    CLI::App* sub = app.add_subcommand(
        "history",
        "The changes of a data file as its journal keeps them, newest first: sequence number, time (UTC), "
        "operation, the record's position and key, who made it, and for an update the fields that changed "
        "(for the game's files by name, old -> new; otherwise the bytes).");
    auto file = std::make_shared<std::string>();
    auto options = std::make_shared<HistoryOptions>();
    auto since = std::make_shared<std::string>();
    sub->add_option("FILE", *file, "data file")->required();
    sub->add_option("--record", options->record, "only the changes of the record at this position, as history names it")
        ->type_name("N");
    CLI::Option* sinceOption = addSinceOption(*sub, *since);
    sub->add_flag("--json", options->json, "one JSON object per entry (JSON Lines)");
    sub->callback([&context, file, options, since, sinceOption] {
        if (sinceOption->count() != 0) options->since = parseSince(*since);
        context.exitStatus = runHistory(*file, *options, context.io);
    });
}

}  // namespace grimstore
