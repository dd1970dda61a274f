// save: every record of a data file, in key order, to a sequential file.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "command_support.h"
#include "commands.h"
#include "progress.h"
#include "record_walk.h"
#include "sequential_format.h"
#include "status_text.h"

namespace grimstore {
namespace {

// Writes all records to out; returns the exit status.
int saveTo(DataFile& data, const FileSpec& spec, std::ostream& out, Io& io, uint64_t& saved) {
    Progress progress(io.err, io.progress, "saving " + data.name(), spec.recordCount);
    const WalkResult walk = walkRecords(data, spec.keys.size(), [&](auto record) {
        writeSequentialRecord(out, record);
        progress.advance(++saved);
        return bool(out);
    });
    if (walk.status != B_NO_ERROR) {
        io.err << statusError(data.name(), "reading record " + std::to_string(walk.visited + 1), walk.status) << '\n';
        return kExitDataError;
    }
    writeSequentialEnd(out);
    out.flush();
    return kExitOk;
}

}  // namespace

int runSave(const std::string& file, const std::string& output, Io& io) {
    DataFile data(file);
    FileSpec spec;
    if (!openAndStat(data, B_MODE_READ_ONLY, spec, io.err)) return kExitDataError;
    uint64_t saved = 0;
    if (output == "-") {
        const int status = saveTo(data, spec, io.out, io, saved);
        if (status == kExitOk && !io.out) {
            io.err << "grimstore: writing to standard output failed\n";
            return kExitDataError;
        }
        return status;
    }

    // Write beside the target and rename at the end, so a failed save never
    // leaves a half-written file in place of a good one.
    const std::string partial = output + ".part";
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) {
        io.err << "grimstore: " << partial << ": cannot write: " << std::strerror(errno) << '\n';
        return kExitDataError;
    }
    int status = saveTo(data, spec, out, io, saved);
    out.close();
    if (status == kExitOk && !out) {
        io.err << "grimstore: " << partial << ": write failed: " << std::strerror(errno) << '\n';
        status = kExitDataError;
    }
    std::error_code error;
    if (status == kExitOk) std::filesystem::rename(partial, output, error);
    if (status == kExitOk && error) {
        io.err << "grimstore: " << output << ": cannot replace: " << error.message() << '\n';
        status = kExitDataError;
    }
    if (status != kExitOk) {
        std::filesystem::remove(partial, error);
        return status;
    }
    io.out << "saved " << saved << " records from " << file << " to " << output << '\n';
    return kExitOk;
}

void registerSave(CLI::App& app, SubcommandContext& context) {
    addFilesSubcommand(app, context, "save", "Save every record of a data file to a sequential file.",
                       {{"FILE", "data file"}, {"OUT", "sequential file to write, - for standard output"}},
                       [](const auto& files, Io& io) { return runSave(files[0], files[1], io); });
}

}  // namespace grimstore
