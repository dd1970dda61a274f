// copy: a data file to another place, on whichever engine serves each end,
// keys and records in key order, all or nothing, verified by reading it back.
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "commands.h"
#include "data_file_writer.h"
#include "packed_records.h"
#include "status_text.h"

namespace grimstore {
namespace {

// The source's records as the read that checks it found them, while they fit
// in kMostHeld bytes: the copy then writes them without reading the source
// again. Beyond that it lets go of them and the copy reads the source twice.
class HeldRecords {
public:
    static constexpr size_t kMostHeld = size_t{256} << 20;

    explicit HeldRecords(const CreateEntries& entries) {
        const uint64_t expected = uint64_t{entries.recordCount} * entries.recordLength;
        if (expected <= kMostHeld) records_.reserve(expected, entries.recordCount);
    }
    bool add(std::span<const uint8_t> record) {
        if (!holding_) return true;
        if (records_.bytes() + record.size() > kMostHeld) {
            holding_ = false;
            records_.clear(true);
            return true;
        }
        records_.add(record);
        return true;
    }
    bool holding() const { return holding_; }
    // Visits the records held as a walk of the source would; `read` is how that walk ended.
    WalkResult visit(WalkResult read, const RecordVisitor& visit) const {
        read.visited = records_.visit(visit);
        return read;
    }

private:
    bool holding_ = true;
    PackedRecords records_;
};

}  // namespace

int runCopy(const std::string& from, const std::string& to, bool replace, Io& io) {
    client::File source;
    CreateEntries entries;
    if (!openAndStat(source, from, client::OpenMode::ReadOnly, entries, io.err)) return kExitDataError;
    // Read whole once before anything is made, so a source that cannot be read
    // leaves no trace on either engine (a file made on a server cannot be removed).
    // The writing digests what it hands over and what it reads back.
    HeldRecords held(entries);
    const WalkResult read = readRecords(source, from, entries, io, "reading",
                                        [&](std::span<const uint8_t> record) { return held.add(record); });
    if (read.status != B_NO_ERROR) {
        io.err << statusError(from, "reading record " + std::to_string(read.visited + 1), read.status)
               << "; nothing was copied\n";
        return kExitDataError;
    }
    RecordDigest written;
    WalkResult walk;
    const auto records = [&](const RecordVisitor& visit) {
        return held.holding() ? held.visit(read, visit) : walkRecords(source, entries, visit);
    };
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
        "no new file, and an existing file the copy was to replace unchanged when its keys are the same. "
        "A file the copy makes is filled before its journal of changes starts, so its journal begins empty, "
        "at the copy; a replaced file of the same keys journals the records deleted and inserted.");
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
