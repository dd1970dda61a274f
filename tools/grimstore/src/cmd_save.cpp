// save: every record of a data file, in key order, to a sequential file.
#include "command_support.h"
#include "commands.h"
#include "output_file.h"
#include "progress.h"
#include "record_walk.h"
#include "sequential_format.h"
#include "status_text.h"

namespace grimstore {
namespace {

// Writes all records to out; returns the exit status.
int saveTo(client::File& data, const CreateEntries& entries, std::ostream& out, Io& io, uint64_t& saved) {
    Progress progress(io.err, io.progress, "saving " + data.name(), entries.recordCount);
    const WalkResult walk = walkRecords(data, entries, [&](auto record) {
        writeSequentialRecord(out, record);
        progress.advance(++saved);
        return bool(out);
    });
    if (walk.status != B_NO_ERROR) {
        io.err << statusError(data.name(), "reading record " + std::to_string(walk.visited + 1), walk.status) << '\n';
        return kExitDataError;
    }
    writeSequentialEnd(out);
    return kExitOk;
}

}  // namespace

int runSave(const std::string& file, const std::string& output, Io& io) {
    client::File data;
    CreateEntries entries;
    if (!openAndStat(data, file, client::OpenMode::ReadOnly, entries, io.err)) return kExitDataError;
    // A failed save leaves a file it was to replace as it was (output_file.h).
    OutputFile out;
    std::string error;
    if (!out.open(output, io.out, error)) {
        io.err << "grimstore: " << error << '\n';
        return kExitDataError;
    }
    uint64_t saved = 0;
    if (const int status = saveTo(data, entries, out.stream(), io, saved); status != kExitOk) return status;
    if (!out.commit(error)) {
        io.err << "grimstore: " << error << '\n';
        return kExitDataError;
    }
    if (output != "-") io.out << "saved " << saved << " records from " << file << " to " << output << '\n';
    return kExitOk;
}

void registerSave(CLI::App& app, SubcommandContext& context) {
    addFilesSubcommand(app, context, "save", "Save every record of a data file to a sequential file.",
                       {{"FILE", "data file"},
                        {"OUT",
                         "sequential file to write, - for standard output; a device or FIFO is written into, "
                         "a file (or the file a link names) replaced once the save is whole"}},
                       [](const auto& files, Io& io) { return runSave(files[0], files[1], io); });
}

}  // namespace grimstore
