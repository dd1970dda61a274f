// revert FILE SEQ [--force]: puts back a record as it was before one entry of
// the journal, as one new change (journaled like any other): an update's or a
// delete's before image comes back, an inserted record goes.
#include "commands.h"
#include "journal_reading.h"
#include "status_text.h"

namespace grimstore {
namespace {

// The sequence numbers of the record's entries after `entry`.
client::Status laterEntries(const std::string& file, const client::JournalEntry& entry, std::string& later) {
    client::JournalQuery query{client::JournalOrder::OldestFirst, entry.record, entry.sequence + 1, std::nullopt};
    return client::readJournal(file, query, [&later](client::JournalEntry&& next) {
        later += (later.empty() ? "" : ", ") + std::to_string(next.sequence);
        return true;
    });
}

struct Revert {
    const std::string& file;
    const client::JournalEntry& entry;
    const EntryReader& reader;
    client::File& data;
    bool force;
    Io& io;

    int refuse(const std::string& why) {
        io.err << "grimstore: " << file << ": " << entryText(entry) << " is not taken back: " << why << '\n';
        return kExitDataError;
    }
    int failed(const std::string& action, client::Status status) {
        io.err << statusError(file, action, status) << '\n';
        return kExitDataError;
    }

    // Stands on the record the entry left; refused when it holds something else, unless forced.
    int readCurrent() {
        const client::Status status = data.getDirect(client::positionOf(entry.record), -1);
        if (status == B_INVALID_RECORD_ADDRESS) return refuse("record " + std::to_string(entry.record) + " is gone");
        if (status != B_NO_ERROR) return failed("reading record " + std::to_string(entry.record), status);
        const auto current = data.record();
        if (!force && !std::ranges::equal(current, *entry.after))
            return refuse("record " + std::to_string(entry.record) +
                          " no longer holds what the entry left (changed while the journal was off?): " +
                          reader.comparer.compare(*entry.after, current).text() + "; --force takes it back anyway");
        return kExitOk;
    }

    int run() {
        std::vector<uint8_t> image = entry.before.value_or(std::vector<uint8_t>{});
        if (entry.before && !entry.after) {  // a delete: the record comes back under its key
            if (const client::Status status = data.insert(image); status != B_NO_ERROR)
                return failed("inserting the deleted record again", status);
            client::Position position{};
            data.getPosition(position);
            io.out << file << ": took back " << entryText(entry) << ": the record is back, at record "
                   << client::recordAt(position) << '\n';
            return kExitOk;
        }
        if (const int refused = readCurrent(); refused != kExitOk) return refused;
        const std::vector<uint8_t> current(data.record().begin(), data.record().end());
        const client::Status status = entry.before ? data.update(image) : data.remove();
        if (status != B_NO_ERROR) return failed(entry.before ? "update" : "delete", status);
        io.out << file << ": took back " << entryText(entry) << ": "
               << (entry.before ? reader.comparer.compare(current, *entry.before).text() : "the record is deleted")
               << '\n';
        return kExitOk;
    }
};

}  // namespace

int runRevert(const std::string& file, uint64_t sequence, bool force, Io& io) {
    client::File data;
    CreateEntries entries;
    client::JournalState state;
    if (!openAndStat(data, file, client::OpenMode::Normal, entries, io.err) || !keepsJournal(file, state, io))
        return kExitDataError;
    client::JournalEntry entry;
    if (const client::Status status = readEntry(file, sequence, entry); status != B_NO_ERROR) {
        if (status != B_KEY_VALUE_NOT_FOUND) io.err << statusError(file, "reading the journal", status) << '\n';
        if (status == B_KEY_VALUE_NOT_FOUND) io.err << "grimstore: " << file << ": no entry " << sequence << '\n';
        return kExitDataError;
    }
    if (entry.damaged || (!entry.before && !entry.after)) {
        io.err << "grimstore: " << file << ": entry " << sequence << " is damaged and cannot be taken back\n";
        return kExitDataError;
    }
    std::string later;
    if (const client::Status status = laterEntries(file, entry, later); status != B_NO_ERROR) {
        io.err << statusError(file, "reading the journal", status) << '\n';
        return kExitDataError;
    }
    const EntryReader reader(file, entries);
    Revert revert{file, entry, reader, data, force, io};
    if (!later.empty() && !force)
        return revert.refuse("record " + std::to_string(entry.record) + " changed after it, in entries " + later +
                             "; --force takes it back anyway");
    return revert.run();
}

void registerRevert(CLI::App& app, SubcommandContext& context) {
    CLI::App* sub = app.add_subcommand(
        "revert",
        "Put a record back as it was before entry SEQ of the file's journal, as one new change: an updated or "
        "deleted record gets its earlier bytes back (a deleted one under its key), an inserted one is deleted. "
        "Refused when the record changed after the entry, unless --force.");
    auto file = std::make_shared<std::string>();
    auto sequence = std::make_shared<uint64_t>(0);
    auto force = std::make_shared<bool>(false);
    sub->add_option("FILE", *file, "data file")->required();
    sub->add_option("SEQ", *sequence, "the entry's sequence number, as history shows it")->required();
    sub->add_flag("--force", *force, "take it back even when the record changed after the entry");
    sub->callback(
        [&context, file, sequence, force] { context.exitStatus = runRevert(*file, *sequence, *force, context.io); });
}

}  // namespace grimstore
