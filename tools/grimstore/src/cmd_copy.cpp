// copy: a data file to another place, on whichever engine serves each end,
// keys and records in key order, all or nothing, verified by reading it back.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "command_support.h"
#include "commands.h"
#include "output_file.h"
#include "progress.h"
#include "record_walk.h"
#include "status_text.h"

namespace grimstore {
namespace {

// The number of records and a 64-bit FNV-1a hash over each record's length and
// bytes, in the order read: a copy matches its source when both agree.
struct RecordDigest {
    uint64_t count = 0;
    uint64_t hash = 0xcbf29ce484222325;

    void add(std::span<const uint8_t> record) {
        ++count;
        const uint32_t length = static_cast<uint32_t>(record.size());
        for (int shift = 0; shift < 32; shift += 8) mix(static_cast<uint8_t>(length >> shift));
        for (uint8_t byte : record) mix(byte);
    }
    void mix(uint8_t byte) { hash = (hash ^ byte) * 0x100000001b3; }
    bool operator==(const RecordDigest&) const = default;

    std::string text() const {
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016" PRIx64, hash);
        return std::to_string(count) + " records, checksum " + hex;
    }
};

// The Create buffer without the record count: equal for files of the same layout.
std::vector<uint8_t> layoutOf(CreateEntries entries) {
    entries.recordCount = 0;
    return wbtrv::buildCreateBuffer(entries);
}

// A file the copy made and fills; a failure before the end takes back what it can.
class CopyTarget {
public:
    // name as given, for messages; path with its links followed (output_file.h).
    CopyTarget(std::string name, std::string path, Io& io) : name_(std::move(name)), path_(std::move(path)), io_(io) {}

    // Opens the target exclusively: a new file with the source's layout, or with
    // replace an existing one, emptied inside the transaction when its layout is
    // the same (so a failure leaves it as it was) and created afresh otherwise.
    bool prepare(const CreateEntries& entries, bool replace) {
        std::error_code ignored;
        hadLocalFile_ = std::filesystem::exists(path_, ignored);
        client::Status status = B_FILE_NOT_FOUND;
        if (replace) {
            CreateEntries existing;
            status = file_.open(path_, client::OpenMode::Exclusive);
            if (status == B_NO_ERROR) status = file_.stat(existing);
            if (status == B_NO_ERROR && layoutOf(existing) == layoutOf(entries)) return emptyOnBegin_ = true;
            file_.close();
        }
        if (status != B_NO_ERROR && status != B_FILE_NOT_FOUND) return refuse("open", status);
        status = client::create(path_, entries, replace ? client::IfExists::Replace : client::IfExists::Refuse);
        if (status == B_FILE_ALREADY_EXISTS) {
            io_.err << "grimstore: " << name_ << " exists; --replace copies over it\n";
            return false;
        }
        if (status != B_NO_ERROR) return refuse("create", status);
        created_ = true;
        status = file_.open(path_, client::OpenMode::Exclusive);
        if (status != B_NO_ERROR) fail("open", status);
        return status == B_NO_ERROR;
    }

    client::File& file() { return file_; }

    // Deletes the records a replaced file of the same layout held, each Step
    // moving on from where the one deleted stood; inside the transaction, so
    // they come back when the copy fails.
    int16_t emptyIfReused() {
        if (!emptyOnBegin_) return B_NO_ERROR;
        int16_t status = file_.step(client::Step::First);
        while (status == B_NO_ERROR && (status = file_.remove()) == B_NO_ERROR) status = file_.step(client::Step::Next);
        return status == B_END_OF_FILE ? int16_t{B_NO_ERROR} : status;
    }

    // Reports a failed step after prepare, undoes the transaction if one was begun,
    // and says what is left of the target.
    void fail(const std::string& action, int16_t status, bool inTransaction = false) {
        const std::string& name = name_;
        if (status != B_NO_ERROR) io_.err << statusError(name, action, status) << '\n';
        const bool undone = inTransaction && client::abortTransaction() == B_NO_ERROR;
        file_.close();
        std::error_code ignored;
        if (created_ && !hadLocalFile_ && std::filesystem::exists(path_, ignored)) {
            for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path_ + suffix, ignored);
            io_.err << "grimstore: " << name << ": nothing was copied; the new file was removed\n";
        } else if (created_) {
            // A file on a server cannot be removed through the record manager.
            io_.err << "grimstore: " << name << ": nothing was copied; the file was made anew and is left "
                    << (undone || !inTransaction ? "empty" : "in doubt: check it") << '\n';
        } else {
            io_.err << "grimstore: " << name << ": nothing was copied; "
                    << (undone || !inTransaction ? "the file is unchanged" : "the abort failed: check the file")
                    << '\n';
        }
    }

private:
    bool refuse(const std::string& action, int16_t status) {
        io_.err << statusError(name_, action, status) << '\n';
        return false;
    }

    std::string name_;
    std::string path_;
    client::File file_;
    Io& io_;
    bool hadLocalFile_ = false;
    bool created_ = false;
    bool emptyOnBegin_ = false;
};

// Reads every record of file in key order into digest, with a progress bar of what.
WalkResult digestRecords(client::File& file, const std::string& name, const CreateEntries& entries,
                         RecordDigest& digest, Io& io, const std::string& what) {
    Progress progress(io.err, io.progress, what + " " + name, entries.recordCount);
    return walkRecords(file, entries, [&](auto record) {
        digest.add(record);
        progress.advance(digest.count);
        return true;
    });
}

}  // namespace

int runCopy(const std::string& from, const std::string& to, bool replace, Io& io) {
    std::string error;
    const auto targetPath = dataFileTarget(to, error);
    if (!targetPath) {
        io.err << "grimstore: " << error << '\n';
        return kExitDataError;
    }
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
    CopyTarget target(to, *targetPath, io);
    if (!target.prepare(entries, replace)) return kExitDataError;

    if (const int16_t status = client::beginTransaction(); status != B_NO_ERROR) {
        target.fail("begin of the transaction", status);
        return kExitDataError;
    }
    if (const int16_t status = target.emptyIfReused(); status != B_NO_ERROR) {
        target.fail("emptying", status, true);
        return kExitDataError;
    }
    // Each batch read goes into the target in one Insert Extended.
    RecordDigest read;
    int16_t insertStatus = B_NO_ERROR;
    uint64_t inserted = 0;
    std::vector<client::Position> positions;
    Progress progress(io.err, io.progress, "copying " + from, entries.recordCount);
    const WalkResult walk = walkRecordBatches(source, entries, [&](auto records) {
        for (const auto record : records) read.add(record);
        insertStatus = target.file().insertExtended(records, 0, positions);
        inserted += positions.size();
        progress.advance(read.count);
        return insertStatus == B_NO_ERROR;
    });
    if (walk.status != B_NO_ERROR) {
        io.err << statusError(from, "reading record " + std::to_string(walk.visited + 1), walk.status) << '\n';
        target.fail("copy", B_NO_ERROR, true);
        return kExitDataError;
    }
    if (insertStatus != B_NO_ERROR) {
        target.fail("insert of record " + std::to_string(inserted + 1), insertStatus, true);
        return kExitDataError;
    }

    // Read back inside the transaction, so a copy that differs is never committed.
    RecordDigest written;
    if (const WalkResult back = digestRecords(target.file(), to, entries, written, io, "verifying");
        back.status != B_NO_ERROR) {
        target.fail("reading back record " + std::to_string(back.visited + 1), back.status, true);
        return kExitDataError;
    }
    if (written != read) {
        io.err << "grimstore: " << to << ": the copy reads back as " << written.text() << ", the source gave "
               << read.text() << '\n';
        target.fail("verify", B_NO_ERROR, true);
        return kExitDataError;
    }
    if (const int16_t status = client::endTransaction(); status != B_NO_ERROR) {
        target.fail("end of the transaction", status, true);
        return kExitDataError;
    }
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
