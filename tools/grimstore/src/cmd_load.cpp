// load: the records of a sequential file into a data file, all or nothing.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string_view>

#include "command_support.h"
#include "commands.h"
#include "progress.h"
#include "record_walk.h"
#include "sequential_format.h"
#include "status_text.h"

namespace grimstore {
namespace {

// Undoes the load's transaction after a failure and says whether the file is as it was.
void abandonLoad(const std::string& file, std::ostream& err) {
    const int16_t undone = client::abortTransaction();
    if (undone == B_NO_ERROR)
        err << "grimstore: " << file << ": nothing was loaded; the file is unchanged\n";
    else
        err << statusError(file, "abort of the transaction", undone) << '\n';
}

// The input's size in bytes for the progress bar; 0 where it cannot be known (a pipe).
uint64_t inputSize(const std::string& input) {
    std::error_code error;
    const auto size = input == "-" ? 0 : std::filesystem::file_size(input, error);
    return error ? 0 : size;
}

}  // namespace

int runLoad(const std::string& file, const std::string& input, Io& io) {
    std::ifstream opened;
    if (input != "-") {
        opened.open(input, std::ios::binary);
        if (!opened) {
            io.err << "grimstore: " << input << ": cannot read: " << std::strerror(errno) << '\n';
            return kExitDataError;
        }
    }
    std::istream& in = input == "-" ? std::cin : opened;

    client::File data;
    CreateEntries entries;
    // Exclusive, so nobody else changes the file while it is filled or taken back.
    if (!openAndStat(data, file, client::OpenMode::Exclusive, entries, io.err)) return kExitDataError;

    // One transaction: the records become durable together or not at all, so the
    // input is read one record at a time and a fault found late still undoes it all.
    if (const int16_t status = client::beginTransaction(); status != B_NO_ERROR) {
        io.err << statusError(file, "begin of the transaction", status) << '\n';
        return kExitDataError;
    }
    // The records go in by batches, one Insert Extended each (on a server one
    // statement for them all); a batch is inserted before what ends it is
    // reported, so the first fault in the input is the one named.
    SequentialReader reader(in, entries.recordLength);
    Progress progress(io.err, io.progress, "loading " + file, inputSize(input));
    const size_t perBatch = recordsPerBatch(entries.recordLength);
    std::vector<SequentialRecord> batch;
    std::vector<std::span<const uint8_t>> records;
    std::vector<client::Position> positions;
    uint64_t loaded = 0;
    const auto insertBatch = [&] {
        records.clear();
        for (const SequentialRecord& r : batch) records.push_back(r.data);
        const int16_t status = data.insertExtended(records, 0, positions);
        if (status != B_NO_ERROR) {
            const SequentialRecord& failed = batch[std::min(positions.size(), batch.size() - 1)];
            io.err << statusError(file,
                                  "insert of record " + std::to_string(loaded + positions.size() + 1) + " (" + input +
                                      " byte " + std::to_string(failed.offset) + ")",
                                  status)
                   << '\n';
            return false;
        }
        loaded += batch.size();
        batch.clear();
        return true;
    };
    bool inserted = true;
    while (auto record = reader.next()) {
        batch.push_back(std::move(*record));
        if (batch.size() == perBatch && !(inserted = insertBatch())) break;
        progress.advance(reader.offset());
    }
    if (inserted && !batch.empty()) inserted = insertBatch();
    if (!inserted) {
        abandonLoad(file, io.err);
        return kExitDataError;
    }
    if (const auto& error = reader.error(); error || in.bad()) {
        if (in.bad())
            io.err << "grimstore: " << input << ": read failed\n";
        else
            io.err << "grimstore: " << input << ": byte " << error->offset << ": " << error->what << '\n';
        abandonLoad(file, io.err);
        return kExitDataError;
    }
    if (const int16_t status = client::endTransaction(); status != B_NO_ERROR) {
        io.err << statusError(file, "end of the transaction", status) << "; nothing was loaded\n";
        return kExitDataError;
    }
    io.out << "loaded " << loaded << " records from " << input << " into " << file << '\n';
    return kExitOk;
}

void registerLoad(CLI::App& app, SubcommandContext& context) {
    addFilesSubcommand(app, context, "load",
                       "Insert the records of a sequential file into a data file; a malformed input or a "
                       "failed insert leaves the file unchanged.",
                       {{"FILE", "data file"}, {"IN", "sequential file to read, - for standard input"}},
                       [](const auto& files, Io& io) { return runLoad(files[0], files[1], io); });
}

}  // namespace grimstore
