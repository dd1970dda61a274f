// changes FILE... --since SEQ|TIME [--output OUT]: a change set of the files'
// journals, oldest first, each change with its before and after images.
#include <filesystem>

#include "change_set.h"
#include "commands.h"
#include "output_file.h"
#include "progress.h"
#include "status_text.h"

namespace grimstore {
namespace {

// Writes the file's changes from since on to out; the exit status.
int writeChanges(const std::string& file, const Since& since, std::ostream& out, Io& io, uint64_t& written) {
    client::File data;
    CreateEntries entries;
    client::JournalState state;
    if (!openAndStat(data, file, client::OpenMode::ReadOnly, entries, io.err) || !keepsJournal(file, state, io))
        return kExitDataError;
    const EntryReader reader(file, entries);
    const std::string name = std::filesystem::path(file).filename().string();
    client::JournalQuery query;
    query.order = client::JournalOrder::OldestFirst;
    applySince(since, query);
    Progress progress(io.err, io.progress, "reading the journal of " + file, state.entries);
    std::string damaged;
    const client::Status status = client::readJournal(file, query, [&](client::JournalEntry&& entry) {
        if (entry.damaged) {
            damaged = entryText(entry);
            return false;
        }
        out << changeLine(name, entry, reader).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
            << '\n';
        progress.advance(++written);
        return bool(out);
    });
    if (status != B_NO_ERROR) io.err << statusError(file, "reading the journal", status) << '\n';
    if (!damaged.empty()) io.err << "grimstore: " << file << ": " << damaged << " is damaged and cannot be carried\n";
    return status == B_NO_ERROR && damaged.empty() ? kExitOk : kExitDataError;
}

}  // namespace

int runChanges(const std::vector<std::string>& files, const Since& since, const std::string& output, Io& io) {
    // A change set that could not be read whole is not written at all (output_file.h).
    OutputFile out;
    std::string error;
    if (!out.open(output, io.out, error)) {
        io.err << "grimstore: " << error << '\n';
        return kExitDataError;
    }
    uint64_t written = 0;
    for (const std::string& file : files)
        if (const int status = writeChanges(file, since, out.stream(), io, written); status != kExitOk) return status;
    if (!out.commit(error)) {
        io.err << "grimstore: " << error << '\n';
        return kExitDataError;
    }
    if (output != "-")
        io.out << "wrote " << written << (written == 1 ? " change" : " changes") << " to " << output << '\n';
    return kExitOk;
}

void registerChanges(CLI::App& app, SubcommandContext& context) {
    CLI::App* sub = app.add_subcommand(
        "changes",
        "Write the changes the files' journals keep from --since on as a change set (JSON Lines, oldest first, "
        "each change with the record's bytes before and after), for apply to carry to another file or world.");
    auto files = std::make_shared<std::vector<std::string>>();
    auto since = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>("-");
    sub->add_option("FILE", *files, "data files")->required();
    addSinceOption(*sub, *since)->required();
    sub->add_option("--output,-o", *output,
                    "where to write the change set: - (the default) for standard output; a file is replaced "
                    "once the set is whole")
        ->type_name("OUT");
    sub->callback([&context, files, since, output] {
        context.exitStatus = runChanges(*files, *parseSince(*since), *output, context.io);
    });
}

}  // namespace grimstore
