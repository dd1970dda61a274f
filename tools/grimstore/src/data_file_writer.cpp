#include "data_file_writer.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>

#include "output_file.h"
#include "packed_records.h"
#include "progress.h"
#include "status_text.h"

namespace grimstore {
namespace {

// The Create buffer without the record count: equal for files of the same layout.
std::vector<uint8_t> layoutOf(CreateEntries entries) {
    entries.recordCount = 0;
    return wbtrv::buildCreateBuffer(entries);
}

// A file the writer made and fills; a failure before the end takes back what it can.
class TargetFile {
public:
    // name as given, for messages; path with its links followed (output_file.h).
    TargetFile(std::string name, std::string path, std::string nothingDone, Io& io)
        : name_(std::move(name)), path_(std::move(path)), nothingDone_(std::move(nothingDone)), io_(io) {}

    // Opens the target exclusively: a new file with the entries' layout, or with
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
            io_.err << "grimstore: " << name_ << " exists; --replace writes over it\n";
            return false;
        }
        if (status != B_NO_ERROR) return refuse("create", status);
        created_ = true;
        status = file_.open(path_, client::OpenMode::Exclusive);
        if (status != B_NO_ERROR) {
            fail("open", status);
            return false;
        }
        // A file made here is filled before its journal starts, so its history
        // begins with it as written and its records are written once. The switch
        // needs no transaction open; the exclusive open keeps others from
        // writing while the journal is off.
        if (status = client::switchJournal(path_, false); status != B_NO_ERROR) {
            fail("journal off", status);
            return false;
        }
        journalOff_ = true;
        return true;
    }

    // After the commit: a file made here gets its journal back. Only a process
    // killed before this leaves the file with its journal off.
    bool finish() {
        if (!journalOff_) return true;
        const int16_t status = client::switchJournal(path_, true);
        journalOff_ = status != B_NO_ERROR;
        if (!journalOff_) return true;
        io_.err << statusError(name_, "journal on", status)
                << "; the records were written and committed, but the journal is off: 'grimstore journal on " << name_
                << "' switches it on\n";
        return false;
    }

    client::File& file() { return file_; }

    // Deletes the records a replaced file of the same layout held, each Step
    // moving on from where the one deleted stood; inside the transaction, so
    // they come back when the writing fails.
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
        if (journalOff_) journalOff_ = client::switchJournal(path_, true) != B_NO_ERROR;  // best effort
        file_.close();
        std::error_code ignored;
        io_.err << "grimstore: " << name << ": " << nothingDone_ << "; ";
        if (created_ && !hadLocalFile_ && std::filesystem::exists(path_, ignored)) {
            for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path_ + suffix, ignored);
            io_.err << "the new file was removed\n";
        } else if (created_) {
            // A file on a server cannot be removed through the record manager.
            io_.err << "the file was made anew and is left "
                    << (undone || !inTransaction ? "empty" : "in doubt: check it")
                    << (journalOff_ ? ", its journal off ('grimstore journal on' switches it on)" : "") << '\n';
        } else {
            io_.err << (undone || !inTransaction ? "the file is unchanged" : "the abort failed: check the file")
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
    std::string nothingDone_;
    client::File file_;
    Io& io_;
    bool hadLocalFile_ = false;
    bool created_ = false;
    bool emptyOnBegin_ = false;
    bool journalOff_ = false;
};

}  // namespace

void RecordDigest::add(std::span<const uint8_t> record) {
    const auto mix = [this](uint8_t byte) { hash = (hash ^ byte) * 0x100000001b3; };
    ++count;
    const uint32_t length = static_cast<uint32_t>(record.size());
    for (int shift = 0; shift < 32; shift += 8) mix(static_cast<uint8_t>(length >> shift));
    for (uint8_t byte : record) mix(byte);
}

std::string RecordDigest::text() const {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, hash);
    return std::to_string(count) + " records, checksum " + hex;
}

WalkResult readRecords(client::File& file, const std::string& name, const CreateEntries& entries, Io& io,
                       const std::string& what, const RecordVisitor& visit) {
    Progress progress(io.err, io.progress, what + " " + name, entries.recordCount);
    uint64_t count = 0;
    return walkRecords(file, entries, [&](auto record) {
        progress.advance(++count);
        return visit(record);
    });
}

bool writeDataFile(const WriteRequest& request, const RecordSource& source, RecordDigest& written, WalkResult& walk,
                   Io& io) {
    const CreateEntries& entries = request.entries;
    const std::string nothingDone = "nothing was " + std::string(request.verb);
    std::string error;
    const auto targetPath = dataFileTarget(request.to, error);
    if (!targetPath) {
        io.err << "grimstore: " << error << '\n';
        return false;
    }
    TargetFile target(request.to, *targetPath, nothingDone, io);
    if (!target.prepare(entries, request.replace)) return false;
    if (const int16_t status = client::beginTransaction(); status != B_NO_ERROR) {
        target.fail("begin of the transaction", status);
        return false;
    }
    if (const int16_t status = target.emptyIfReused(); status != B_NO_ERROR) {
        target.fail("emptying", status, true);
        return false;
    }
    // The records go in by batches, each one Insert Extended (one round trip to a server).
    RecordDigest read;
    int16_t insertStatus = B_NO_ERROR;
    uint64_t inserted = 0;
    PackedRecords pending;
    std::vector<std::span<const uint8_t>> batch;
    std::vector<client::Position> positions;
    const size_t perBatch = recordsPerBatch(entries.recordLength);
    pending.reserve(perBatch * size_t{entries.recordLength}, perBatch);
    const auto flush = [&] {
        if (pending.count() == 0 || insertStatus != B_NO_ERROR) return insertStatus == B_NO_ERROR;
        pending.spans(batch);
        insertStatus = target.file().insertExtended(batch, 0, positions);
        inserted += positions.size();
        pending.clear();
        return insertStatus == B_NO_ERROR;
    };
    Progress progress(io.err, io.progress, "writing " + request.to, entries.recordCount);
    walk = source([&](auto record) {
        read.add(record);
        pending.add(record);
        progress.advance(read.count);
        return pending.count() < perBatch || flush();
    });
    if (walk.status == B_NO_ERROR) flush();
    if (walk.status != B_NO_ERROR) {
        io.err << statusError(request.sourceName, "reading record " + std::to_string(walk.visited + 1), walk.status)
               << '\n';
        target.fail("copy", B_NO_ERROR, true);
        return false;
    }
    if (insertStatus != B_NO_ERROR) {
        target.fail("insert of record " + std::to_string(inserted + 1), insertStatus, true);
        return false;
    }
    // Read back inside the transaction, so a file that differs is never committed.
    written = RecordDigest{};
    if (const WalkResult back = readRecords(target.file(), request.to, entries, io, "verifying",
                                            [&](auto record) {
                                                written.add(record);
                                                return true;
                                            });
        back.status != B_NO_ERROR) {
        target.fail("reading back record " + std::to_string(back.visited + 1), back.status, true);
        return false;
    }
    if (written != read) {
        io.err << "grimstore: " << request.to << ": the file reads back as " << written.text() << ", not as the "
               << read.text() << " that went in\n";
        target.fail("verify", B_NO_ERROR, true);
        return false;
    }
    if (const int16_t status = client::endTransaction(); status != B_NO_ERROR) {
        target.fail("end of the transaction", status, true);
        return false;
    }
    return target.finish();
}

}  // namespace grimstore
