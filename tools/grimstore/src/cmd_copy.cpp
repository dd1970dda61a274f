// copy: a data file to another place, on whichever engine serves each end,
// keys and records in key order, all or nothing, verified by reading it back.
#include <filesystem>
#include <memory>

#include "commands.h"
#include "data_file_writer.h"
#include "status_text.h"

namespace grimstore {

int runCopy(const std::string& from, const std::string& to, bool replace, Io& io) {
    client::File source;
    CreateEntries entries;
    if (!openAndStat(source, from, client::OpenMode::ReadOnly, entries, io.err)) return kExitDataError;
    // Read whole once before anything is made, so a source that cannot be read
    // leaves no trace on either engine (a file made on a server cannot be removed).
    RecordDigest readable;
    if (const WalkResult walk = digestRecords(source, from, entries, readable, io, "reading");
        walk.status != B_NO_ERROR) {
        io.err << statusError(from, "reading record " + std::to_string(walk.visited + 1), walk.status)
               << "; nothing was copied\n";
        return kExitDataError;
    }
    RecordDigest written;
    WalkResult walk;
    const auto records = [&](const RecordVisitor& visit) { return walkRecords(source, entries, visit); };
    if (!writeDataFile({to, from, entries, replace, "copied"}, records, written, walk, io)) return kExitDataError;
    io.out << "copied " << from << " to " << to << ", verified along key " << int{walk.key} << ": " << written.text()
           << '\n';
    return kExitOk;
}

void registerCopy(CLI::App& app, SubcommandContext& context) {
    CLI::App* sub = app.add_subcommand(
        "copy",
        "Copy data files, keys and records, between any two places: a file in a folder, on the server that "
        "the folder's wbtrv32.server names, or on the server of WBTRV32_SERVER (then every place is there). "
        "Each copy is one transaction, read back and compared before it is committed; a failed copy leaves "
        "no new file, and an existing file the copy was to replace unchanged when its keys are the same.");
    auto places = std::make_shared<std::vector<std::string>>();
    auto replace = std::make_shared<bool>(false);
    sub->add_option("FROM... TO", *places, "the files to copy, then the new file or the folder to copy them into")
        ->required()
        ->expected(2, -1);
    sub->add_flag("--replace", *replace, "copy over an existing file");
    sub->callback([places, replace, &context] {
        const std::string to = places->back();
        const std::vector<std::string> froms(places->begin(), places->end() - 1);
        std::error_code ignored;
        const bool intoFolder = std::filesystem::is_directory(to, ignored);
        if (froms.size() > 1 && !intoFolder) {
            context.io.err << "grimstore copy: " << to << " must be a folder to copy several files into\n";
            context.exitStatus = kExitUsageError;
            return;
        }
        for (const std::string& from : froms) {
            const std::string target =
                intoFolder ? (std::filesystem::path(to) / std::filesystem::path(from).filename()).string() : to;
            context.exitStatus = std::max(context.exitStatus, runCopy(from, target, *replace, context.io));
        }
    });
}

}  // namespace grimstore
