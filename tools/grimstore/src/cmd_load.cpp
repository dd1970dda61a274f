// load: the records of a sequential file into a data file, all or nothing.
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string_view>

#include "command_support.h"
#include "commands.h"
#include "progress.h"
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

    // One transaction: the records become durable together or not at all.
    if (const int16_t status = transactionCall(B_BEGIN_TRANSACTION); status != B_NO_ERROR) {
        io.err << statusError(file, "begin of the transaction", status) << '\n';
        return kExitDataError;
    }
    Progress progress(io.err, io.progress, "loading " + file, parsed.records.size());
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
            const int16_t undone = transactionCall(B_ABORT_TRANSACTION);
            if (undone == B_NO_ERROR)
                io.err << "grimstore: " << file << ": nothing was loaded; the file is unchanged\n";
            else
                io.err << statusError(file, "abort of the transaction", undone) << '\n';
            return kExitDataError;
        }
        progress.advance(i + 1);
    }
    if (const int16_t status = transactionCall(B_END_TRANSACTION); status != B_NO_ERROR) {
        io.err << statusError(file, "end of the transaction", status) << "; nothing was loaded\n";
        return kExitDataError;
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
