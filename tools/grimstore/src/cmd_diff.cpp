// diff A B [--json]: two data files, or two worlds file by file, compared record
// by record along key 0: the records only one of them holds, and for records in
// both the fields (or bytes) that differ.
#include <unordered_map>

#include "commands.h"
#include "data_file_writer.h"
#include "journal_reading.h"
#include "progress.h"
#include "records/tables.h"
#include "status_text.h"
#include "world.h"

namespace grimstore {
namespace {

using Json = nlohmann::ordered_json;

// One side's record under a key: enough to tell whether it differs, and to read it again.
struct Held {
    nlohmann::ordered_json key;  // as shown
    uint64_t hash = 0;
    client::Position position{};
    bool matched = false;
};

uint64_t hashOf(std::span<const uint8_t> record) {
    RecordDigest digest;
    digest.add(record);
    return digest.hash;
}

struct Counts {
    uint64_t same = 0, onlyA = 0, onlyB = 0, differ = 0;
};

class FileDiff {
public:
    FileDiff(std::string label, bool json, Io& io) : label_(std::move(label)), json_(json), io_(io) {}

    int run(const std::string& a, const std::string& b) {
        if (!openAndStat(a_, a, client::OpenMode::ReadOnly, entriesA_, io_.err) ||
            !openAndStat(b_, b, client::OpenMode::ReadOnly, entriesB_, io_.err))
            return kExitDataError;
        if (entriesA_.keys.empty() || entriesB_.keys.empty() || !RecordKey(entriesA_.keys[0]).namesOneRecord() ||
            !RecordKey(entriesA_.keys[0]).sameAs(entriesB_.keys[0])) {
            io_.err << "grimstore: " << a << " and " << b
                    << " cannot be compared: their key 0 must be the same and name one record (no duplicates, "
                       "no null values)\n";
            return kExitDataError;
        }
        const EntryReader reader(a, entriesA_);
        if (!readB(b, *reader.key)) return kExitDataError;
        Progress progress(io_.err, io_.progress, "comparing " + a, entriesA_.recordCount);
        client::Status status = B_NO_ERROR;
        const WalkResult walk = walkRecords(a_, entriesA_, [&](auto record) {
            progress.advance(counts_.same + counts_.onlyA + counts_.differ + 1);
            status = compare(record, reader);
            return status == B_NO_ERROR && bool(io_.out);
        });
        if (walk.status != B_NO_ERROR || status != B_NO_ERROR) {
            io_.err << statusError(walk.status != B_NO_ERROR ? a : b, "reading",
                                   walk.status != B_NO_ERROR ? walk.status : status)
                    << '\n';
            return kExitDataError;
        }
        for (const std::string& key : orderB_)
            if (const Held& held = heldB_[key]; !held.matched) {
                ++counts_.onlyB;
                report(held.key, "B", {});
            }
        if (!json_)
            io_.out << prefix() << counts_.same << " the same, " << counts_.differ << " differ, " << counts_.onlyA
                    << " only in A, " << counts_.onlyB << " only in B\n";
        return kExitOk;
    }

private:
    std::string prefix() const { return label_.empty() ? "" : label_ + ": "; }

    // B's records by key, each as its hash and position, in B's order: read
    // one at a time along key 0, since each record's own position is asked.
    bool readB(const std::string& b, const RecordKey& key) {
        Progress progress(io_.err, io_.progress, "reading " + b, entriesB_.recordCount);
        client::Status status = b_.get(client::Move::First, 0);
        for (; status == B_NO_ERROR; status = b_.get(client::Move::Next, 0)) {
            const auto record = b_.record();
            const auto bytes = key.bytes(record);
            if (!bytes) continue;  // a record too short for its key: never matched, never shown
            const std::string id(bytes->begin(), bytes->end());
            Held held{key.value(record), hashOf(record)};
            if ((status = b_.getPosition(held.position)) != B_NO_ERROR) break;
            heldB_[id] = held;
            orderB_.push_back(id);
            progress.advance(orderB_.size());
        }
        if (status != B_END_OF_FILE) {
            io_.err << statusError(b, "reading", status) << '\n';
            return false;
        }
        return true;
    }

    client::Status compare(std::span<const uint8_t> record, const EntryReader& reader) {
        const auto bytes = reader.key->bytes(record);
        const auto held = bytes ? heldB_.find(std::string(bytes->begin(), bytes->end())) : heldB_.end();
        if (held == heldB_.end()) {
            ++counts_.onlyA;
            report(reader.key->value(record), "A", {});
            return B_NO_ERROR;
        }
        held->second.matched = true;
        if (held->second.hash == hashOf(record)) {
            ++counts_.same;
            return B_NO_ERROR;
        }
        const std::vector<uint8_t> inA(record.begin(), record.end());
        if (const client::Status status = b_.getDirect(held->second.position, -1); status != B_NO_ERROR) return status;
        const gamedata::RecordDifferences differences = reader.comparer.compare(inA, b_.record());
        if (differences.empty()) {
            ++counts_.same;
            return B_NO_ERROR;
        }
        ++counts_.differ;
        report(reader.key->value(inA), {}, differences);
        return B_NO_ERROR;
    }

    // A record only in one file (only "A" or "B"), or the differences of one in both.
    void report(const Json& key, std::string_view only, const gamedata::RecordDifferences& differences) {
        if (json_) {
            Json line;
            if (!label_.empty()) line["file"] = label_;
            line["key"] = key;
            if (only.empty())
                line[differences.jsonKey()] = differences.json();
            else
                line["only"] = only;
            io_.out << line.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
            return;
        }
        io_.out << prefix() << "key " << key.dump(-1, ' ', false, Json::error_handler_t::replace) << ": "
                << (only.empty() ? differences.text() : "only in " + std::string(only)) << '\n';
    }

    std::string label_;
    bool json_;
    Io& io_;
    client::File a_, b_;
    CreateEntries entriesA_, entriesB_;
    std::unordered_map<std::string, Held> heldB_;
    std::vector<std::string> orderB_;
    Counts counts_;
};

}  // namespace

int runDiff(const std::string& a, const std::string& b, bool json, Io& io) {
    if (!isWorld(a)) return FileDiff({}, json, io).run(a, b);
    int exitStatus = kExitOk;
    for (const records::TableFile& table : records::kTableFiles) {
        const std::string name(table.fileName);
        exitStatus = std::max(exitStatus, FileDiff(name, json, io).run(worldFile(a, name), worldFile(b, name)));
    }
    return exitStatus;
}

void registerDiff(CLI::App& app, SubcommandContext& context) {
    CLI::App* sub = app.add_subcommand(
        "diff",
        "Compare two data files, or two worlds (folders, in files or on a server, of the game's six files), "
        "record by record along key 0: the records only in A, only in B, and for records in both the fields "
        "that differ (for the game's files by name, A -> B; otherwise the bytes).");
    auto places = std::make_shared<std::vector<std::string>>(2);
    auto json = std::make_shared<bool>(false);
    sub->add_option("A", (*places)[0], "a data file, or a world's folder")->required();
    sub->add_option("B", (*places)[1], "another of the same kind")->required();
    sub->add_flag("--json", *json, "one JSON object per record that differs (JSON Lines)");
    sub->callback([&context, places, json] {
        const std::string &a = (*places)[0], &b = (*places)[1];
        if (isWorld(a) != isWorld(b)) {
            context.io.err << "grimstore diff: compare two files or two folders, not a file with a folder\n";
            context.exitStatus = kExitUsageError;
            return;
        }
        context.exitStatus = runDiff(a, b, *json, context.io);
    });
}

}  // namespace grimstore
