// load: the records of a sequential file into a data file, all or nothing.
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string_view>
#include <unordered_map>

#include "command_support.h"
#include "commands.h"
#include "progress.h"
#include "record_walk.h"
#include "sequential_format.h"
#include "status_text.h"

namespace grimstore {
namespace {

bool readAll(const std::string& input, std::vector<uint8_t>& bytes, std::ostream& err) {
    std::ifstream file;
    if (input != "-") {
        file.open(input, std::ios::binary);
        if (!file) {
            err << "grimstore: " << input << ": cannot read: " << std::strerror(errno) << '\n';
            return false;
        }
    }
    std::istream& in = input == "-" ? std::cin : file;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        err << "grimstore: " << input << ": read failed\n";
        return false;
    }
    return true;
}

std::string asKey(std::span<const uint8_t> record) {
    return {reinterpret_cast<const char*>(record.data()), record.size()};
}

// Takes back the records this load inserted: one walk over the file deletes
// each record whose bytes match an inserted one. A record that was already
// there with the very same bytes is indistinguishable, and removing either
// leaves the same contents. Returns how many were deleted.
uint64_t deleteInserted(DataFile& data, size_t keyCount, std::unordered_map<std::string, uint64_t> inserted,
                        int16_t& status) {
    uint64_t deleted = 0;
    if (inserted.empty()) return deleted;
    const WalkResult walk = walkRecords(data, keyCount, [&](auto record) {
        auto found = inserted.find(asKey(record));
        if (found == inserted.end()) return true;
        status = data.deleteCurrent();
        if (status != B_NO_ERROR) return false;
        ++deleted;
        if (--found->second == 0) inserted.erase(found);
        return !inserted.empty();
    });
    if (status == B_NO_ERROR) status = walk.status;
    return deleted;
}

}  // namespace

int runLoad(const std::string& file, const std::string& input, Io& io) {
    std::vector<uint8_t> bytes;
    if (!readAll(input, bytes, io.err)) return kExitDataError;

    DataFile data(file);
    FileSpec spec;
    // Exclusive, so nobody else changes the file while it is filled or taken back.
    if (!openAndStat(data, B_MODE_EXCLUSIVE, spec, io.err)) return kExitDataError;

    const SequentialParse parsed = parseSequential(bytes, spec.recordLength);
    if (parsed.error) {
        io.err << "grimstore: " << input << ": byte " << parsed.error->offset << ": " << parsed.error->what
               << "; nothing was loaded into " << file << '\n';
        return kExitDataError;
    }

    Progress progress(io.err, io.progress, "loading " + file, parsed.records.size());
    std::unordered_map<std::string, uint64_t> inserted;
    std::vector<uint8_t> buffer;
    for (size_t i = 0; i < parsed.records.size(); ++i) {
        const SequentialRecord& record = parsed.records[i];
        buffer.assign(record.data.begin(), record.data.end());
        const int16_t status = data.insert(buffer);
        if (status != B_NO_ERROR) {
            io.err << statusError(file,
                                  "insert of record " + std::to_string(i + 1) + " (" + input + " byte " +
                                      std::to_string(record.offset) + ")",
                                  status)
                   << '\n';
            int16_t undoStatus = B_NO_ERROR;
            const uint64_t deleted = deleteInserted(data, spec.keys.size(), inserted, undoStatus);
            if (undoStatus == B_NO_ERROR && deleted == i) {
                io.err << "grimstore: " << file << ": the " << i
                       << " records this load had inserted were deleted again; the file is "
                          "unchanged\n";
            } else {
                io.err << "grimstore: " << file << ": only " << deleted << " of the " << i
                       << " records this load had inserted could be deleted again";
                if (undoStatus != B_NO_ERROR) io.err << " (status " << describeStatus(undoStatus) << ")";
                io.err << "; the file holds the rest\n";
            }
            return kExitDataError;
        }
        // Keep the bytes as stored: an assigned autoincrement value is written back.
        ++inserted[asKey(buffer)];
        progress.advance(i + 1);
    }
    io.out << "loaded " << parsed.records.size() << " records from " << input << " into " << file << '\n';
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
