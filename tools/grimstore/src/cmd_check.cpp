// check: has the record manager verify the file's storage and key columns,
// then reads every record through it; any fault gives exit status 1.
#include "command_support.h"
#include "commands.h"
#include "progress.h"
#include "record_walk.h"
#include "status_text.h"

namespace grimstore {
namespace {

// Past this many, records of a wrong length are only counted.
constexpr uint64_t kReportedLengthFaults = 20;

// Reads every record in key order; returns the number of faults it reported.
uint64_t checkRecords(const std::string& file, Io& io, uint64_t& records) {
    client::File data;
    CreateEntries entries;
    if (!openAndStat(data, file, client::OpenMode::ReadOnly, entries, io.err)) return 1;
    uint64_t faults = 0;
    Progress progress(io.err, io.progress, "checking " + file, entries.recordCount);
    const WalkResult walk = walkRecords(data, entries, [&](auto record) {
        ++records;
        if (record.size() != entries.recordLength && ++faults <= kReportedLengthFaults)
            io.err << "grimstore: " << file << ": record " << records << " is " << record.size()
                   << " bytes long, the file's record length is " << entries.recordLength << '\n';
        progress.advance(records);
        return true;
    });
    if (faults > kReportedLengthFaults)
        io.err << "grimstore: " << file << ": " << faults << " records in all have a wrong length\n";
    if (walk.status != B_NO_ERROR) {
        io.err << statusError(
                      file, "reading record " + std::to_string(records + 1) + " along key " + std::to_string(walk.key),
                      walk.status)
               << '\n';
        ++faults;
    } else if (records != entries.recordCount) {
        io.err << "grimstore: " << file << ": " << records << " records were read, but the record count is "
               << entries.recordCount << '\n';
        ++faults;
    }
    return faults;
}

}  // namespace

int runCheck(const std::string& file, Io& io) {
    // Verified first: a damaged file is reported without walking it.
    std::string message;
    const int16_t status = client::verify(file, message);
    uint64_t records = 0, faults = 0;
    if (status != B_NO_ERROR) {
        io.err << statusError(file, "verify", status) << ": " << message << '\n';
        ++faults;
    } else {
        faults = checkRecords(file, io, records);
    }
    if (faults != 0) {
        io.err << "grimstore: " << file << ": check found " << faults << " fault(s)\n";
        return kExitDataError;
    }
    io.out << file << ": sound, " << records << " records\n";
    return kExitOk;
}

void registerCheck(CLI::App& app, SubcommandContext& context) {
    addEachFileSubcommand(app, context, "check",
                          "Read every record and verify the storage and key columns of data "
                          "files; exit status 1 on any fault in any of them.",
                          [](const std::string& file, Io& io, bool) { return runCheck(file, io); });
}

}  // namespace grimstore
