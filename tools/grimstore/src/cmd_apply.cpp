// apply SET TARGET [--dry-run]: carries a change set to another data file or
// world in one transaction. Each change applies only where the target's record
// (named by key 0) still holds the change's before image, or for an insert where
// the key is free; when any does not, nothing is applied and every conflict is
// listed with the fields that differ.
#include <fstream>
#include <iostream>
#include <map>

#include "change_set.h"
#include "commands.h"
#include "progress.h"
#include "status_text.h"
#include "world.h"

namespace grimstore {
namespace {

using Image = std::optional<std::vector<uint8_t>>;

// An insert's conflict: the fields in which the record holding its key differs from it.
std::string takenText(const gamedata::RecordDifferences& differences) {
    return "the key is taken" + (differences.empty() ? std::string(", by a record holding the same")
                                                     : ": inserted → found: " + differences.text());
}

// Reads the change set; false, having said where it is wrong, when a line is not a change.
bool readChangeSet(const std::string& input, std::vector<Change>& changes, Io& io) {
    std::ifstream file;
    if (input != "-") {
        file.open(input, std::ios::binary);
        if (!file) {
            io.err << "grimstore: " << input << ": cannot be read\n";
            return false;
        }
    }
    std::istream& in = input == "-" ? std::cin : file;
    std::string text, error;
    for (uint64_t line = 1; std::getline(in, text); ++line) {
        if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
        auto change = parseChange(text, line, error);
        if (!change) {
            io.err << "grimstore: " << input << " line " << line << ": " << error << "; nothing was applied\n";
            return false;
        }
        changes.push_back(std::move(*change));
    }
    if (in.bad()) io.err << "grimstore: " << input << ": reading failed; nothing was applied\n";
    return !in.bad();
}

// One target file: open, its key 0, and the records the changes so far leave, by key.
struct Target {
    std::string name;
    client::File file;
    CreateEntries entries;
    std::optional<EntryReader> reader;
    std::map<std::vector<uint8_t>, Image> state;  // the records the changes touched, as they leave them

    // The record under key as the changes so far leave it; reads the file the first time.
    client::Status current(const std::vector<uint8_t>& key, Image& record) {
        if (const auto found = state.find(key); found != state.end()) {
            record = found->second;
            return B_NO_ERROR;
        }
        record.reset();
        const client::Status status = file.find(client::Find::Equal, 0, key);
        if (status == B_NO_ERROR) record.emplace(file.record().begin(), file.record().end());
        return status == B_KEY_VALUE_NOT_FOUND ? client::Status{B_NO_ERROR} : status;
    }

    // Writes the change through the record manager: its record found again by key.
    client::Status write(const Change& change) {
        if (change.operation == B_INSERT) {
            std::vector<uint8_t> record = *change.after;
            return file.insert(record);
        }
        if (const client::Status status = file.find(client::Find::Equal, 0, *reader->key->bytes(*change.before));
            status != B_NO_ERROR)
            return status;
        if (!std::ranges::equal(file.record(), *change.before)) return B_CONFLICT;
        return change.operation == B_UPDATE ? file.update(*change.after) : file.remove();
    }
};

class Application {
public:
    Application(std::string target, bool dryRun, Io& io) : target_(std::move(target)), dryRun_(dryRun), io_(io) {}

    int run(const std::vector<Change>& changes) {
        for (const Change& change : changes)
            if (!open(change.file)) return kExitDataError;
        if (!dryRun_) {
            if (const client::Status status = client::beginTransaction(); status != B_NO_ERROR) {
                io_.err << statusError(target_, "begin of the transaction", status) << '\n';
                return kExitDataError;
            }
        }
        Progress progress(io_.err, io_.progress, "applying to " + target_, changes.size());
        uint64_t done = 0;
        for (const Change& change : changes) {
            if (const int failed = apply(change); failed != kExitOk) return abort(failed);
            progress.advance(++done);
        }
        if (!conflicts_.empty()) {
            for (const std::string& conflict : conflicts_) io_.err << conflict << '\n';
            io_.err << "grimstore: " << conflicts_.size() << (conflicts_.size() == 1 ? " conflict" : " conflicts")
                    << "; nothing was applied to " << target_ << '\n';
            return abort(kExitDataError);
        }
        if (!dryRun_) {
            if (const client::Status status = client::endTransaction(); status != B_NO_ERROR) {
                io_.err << statusError(target_, "end of the transaction", status) << '\n';
                return abort(kExitDataError);
            }
        }
        for (const std::string& line : applied_) io_.out << (dryRun_ ? "would " : "") << line << '\n';
        io_.out << (dryRun_ ? "would apply " : "applied ") << applied_.size()
                << (applied_.size() == 1 ? " change" : " changes") << " to " << target_ << '\n';
        return kExitOk;
    }

private:
    bool open(const std::string& fileName) {
        if (targets_.contains(fileName)) return true;
        if (!isWorld(target_) && !targets_.empty()) {
            io_.err << "grimstore: the change set names several files; apply it to a world's folder\n";
            return false;
        }
        Target& target = targets_[fileName];
        target.name = isWorld(target_) ? worldFile(target_, fileName) : target_;
        const auto mode = dryRun_ ? client::OpenMode::ReadOnly : client::OpenMode::Normal;
        if (!openAndStat(target.file, target.name, mode, target.entries, io_.err)) return false;
        if (target.entries.keys.empty() || !RecordKey(target.entries.keys[0]).namesOneRecord()) {
            io_.err << "grimstore: " << target.name
                    << ": its key 0 must name one record (no duplicates, no null values)\n";
            return false;
        }
        target.reader.emplace(target.name, target.entries);
        return true;
    }

    // Checks the change against the target and, when nothing conflicted so far, writes it.
    int apply(const Change& change) {
        Target& target = targets_[change.file];
        const EntryReader& reader = *target.reader;
        const Image& expected = change.before;
        const std::span<const uint8_t> image = change.after ? *change.after : *change.before;
        if (image.size() != target.entries.recordLength) {
            conflict(change, target,
                     "its records are " + std::to_string(image.size()) + " bytes, the target's " +
                         std::to_string(target.entries.recordLength));
            return kExitOk;
        }
        const std::vector<uint8_t> key = *reader.key->bytes(change.before ? *change.before : *change.after);
        Image found;
        if (const client::Status status = target.current(key, found); status != B_NO_ERROR) {
            io_.err << statusError(target.name, "reading", status) << '\n';
            return kExitDataError;
        }
        if (found != expected) {
            conflict(change, target,
                     !found      ? std::string("the record is not there")
                     : !expected ? takenText(reader.comparer.compare(*change.after, *found))
                                 : "expected → found: " + reader.comparer.compare(*expected, *found).text());
            return kExitOk;
        }
        // An update that changes key 0 moves the record to a key that must be free.
        const std::vector<uint8_t> moved = *reader.key->bytes(image);
        Image there;
        if (moved != key && (target.current(moved, there) != B_NO_ERROR || there)) {
            conflict(change, target, "its new key is taken");
            return kExitOk;
        }
        target.state[key].reset();
        target.state[moved] = change.after;
        const std::string what = std::string(gamedata::operationName(change.operation)) + " " + target.name + " key " +
                                 reader.key->text(image);
        applied_.push_back(change.before && change.after
                               ? what + ": " + reader.comparer.compare(*change.before, *change.after).text()
                               : what);
        if (dryRun_ || !conflicts_.empty()) return kExitOk;
        if (const client::Status status = target.write(change); status != B_NO_ERROR) {
            io_.err << statusError(target.name, describe(change, target), status) << '\n';
            return kExitDataError;
        }
        return kExitOk;
    }

    std::string describe(const Change& change, const Target& target) const {
        const std::span<const uint8_t> image = change.after ? *change.after : *change.before;
        std::string text = std::string(gamedata::operationName(change.operation)) + " of key " +
                           target.reader->key->text(image) + " (line " + std::to_string(change.line);
        if (change.sequence != 0) text += ", entry " + std::to_string(change.sequence);
        return text + ")";
    }

    void conflict(const Change& change, const Target& target, const std::string& why) {
        conflicts_.push_back("conflict: " + target.name + ": " + describe(change, target) + ": " + why);
    }

    int abort(int exitStatus) {
        if (!dryRun_ && client::abortTransaction() != B_NO_ERROR)
            io_.err << "grimstore: " << target_ << ": the abort failed: check the files\n";
        return exitStatus;
    }

    std::string target_;
    bool dryRun_;
    Io& io_;
    std::map<std::string, Target> targets_;
    std::vector<std::string> conflicts_, applied_;
};

}  // namespace

int runApply(const std::string& input, const std::string& target, bool dryRun, Io& io) {
    std::vector<Change> changes;
    if (!readChangeSet(input, changes, io)) return kExitDataError;
    return Application(target, dryRun, io).run(changes);
}

void registerApply(CLI::App& app, SubcommandContext& context) {
    CLI::App* sub = app.add_subcommand(
        "apply",
        "Apply a change set (as changes writes it) to a data file or a world's folder in one transaction: a "
        "change applies only where the target's record under the same key 0 still holds the change's before "
        "image, or for an insert where the key is free. When any change does not, nothing is applied and every "
        "conflict is listed with the fields that differ.");
    auto input = std::make_shared<std::string>();
    auto target = std::make_shared<std::string>();
    auto dryRun = std::make_shared<bool>(false);
    sub->add_option("SET", *input, "the change set, - for standard input")->required();
    sub->add_option("TARGET", *target, "a data file, or a world's folder")->required();
    sub->add_flag("--dry-run", *dryRun, "say what would change, and what conflicts, without changing anything");
    sub->callback(
        [&context, input, target, dryRun] { context.exitStatus = runApply(*input, *target, *dryRun, context.io); });
}

}  // namespace grimstore
