// as-of FILE TIME OUT: a new data file, keys and all, holding FILE's records as
// they were at TIME: the records it holds now, with every change its journal
// keeps from after TIME taken back, newest first.
#include <map>

#include "commands.h"
#include "data_file_writer.h"
#include "journal_reading.h"
#include "progress.h"
#include "status_text.h"
#include "time_text.h"

namespace grimstore {
namespace {

using Records = std::map<int64_t, std::vector<uint8_t>>;  // by position

// Every record of the file by its position, in physical order.
client::Status readRecords(client::File& data, Records& records) {
    records.clear();
    client::Status status = data.step(client::Step::First);
    for (client::Position position{}; status == B_NO_ERROR; status = data.step(client::Step::Next)) {
        const std::vector<uint8_t> record(data.record().begin(), data.record().end());
        if ((status = data.getPosition(position)) != B_NO_ERROR) return status;
        records.emplace(client::recordAt(position), record);
    }
    return status == B_END_OF_FILE ? client::Status{B_NO_ERROR} : status;
}

// The records and the last entry journaled when they were read: read again until
// no change came in between (a change that did would not be taken back).
bool readSteady(const std::string& file, client::File& data, Records& records, uint64_t& last, Io& io) {
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        client::JournalState before, after;
        if (!keepsJournal(file, before, io)) return false;
        if (const client::Status status = readRecords(data, records); status != B_NO_ERROR) {
            io.err << statusError(file, "reading its records", status) << '\n';
            return false;
        }
        if (!keepsJournal(file, after, io)) return false;
        last = after.lastSequence;
        if (before.lastSequence == after.lastSequence) return true;
    }
    io.err << "grimstore: " << file << ": it kept changing while it was read; try again\n";
    return false;
}

// Takes back the entries after time, newest first; false, having said why, when
// the journal does not account for a record as it stands.
bool takeBack(const std::string& file, int64_t time, uint64_t last, Records& records, uint64_t& undone, Io& io) {
    std::string fault;
    client::JournalQuery query;
    query.sinceTime = time + 1;
    const client::Status status = client::readJournal(file, query, [&](client::JournalEntry&& entry) {
        if (entry.sequence > last) return true;  // came after the records were read
        const auto found = records.find(entry.record);
        const bool matches = found == records.end() ? !entry.after : entry.after && *entry.after == found->second;
        if (entry.damaged || !matches) {
            fault = entryText(entry) + (entry.damaged ? " is damaged"
                                                      : " does not match record " + std::to_string(entry.record) +
                                                            " (changed while the journal was off?)");
            return false;
        }
        if (entry.before)
            records[entry.record] = std::move(*entry.before);
        else
            records.erase(entry.record);
        ++undone;
        return true;
    });
    if (status != B_NO_ERROR) io.err << statusError(file, "reading the journal", status) << '\n';
    if (!fault.empty()) io.err << "grimstore: " << file << ": cannot go back: " << fault << '\n';
    return status == B_NO_ERROR && fault.empty();
}

}  // namespace

int runAsOf(const std::string& file, int64_t time, const std::string& out, bool replace, Io& io) {
    client::File data;
    CreateEntries entries;
    if (!openAndStat(data, file, client::OpenMode::ReadOnly, entries, io.err)) return kExitDataError;
    Records records;
    uint64_t last = 0, undone = 0;
    if (!readSteady(file, data, records, last, io)) return kExitDataError;
    client::JournalState state;
    if (!keepsJournal(file, state, io)) return kExitDataError;
    // Entries before the oldest kept one may have been pruned: no way back past it.
    if (state.entries != 0 && state.firstSequence > 1 && time < state.firstTime) {
        io.err << "grimstore: " << file << ": its journal begins with entry " << state.firstSequence << " of "
               << formatUtc(state.firstTime) << " (the earlier ones were pruned); it cannot go back to "
               << formatUtc(time) << '\n';
        return kExitDataError;
    }
    if (!takeBack(file, time, last, records, undone, io)) return kExitDataError;

    entries.recordCount = static_cast<uint32_t>(records.size());
    const auto source = [&records](const RecordVisitor& visit) {
        WalkResult walk;
        for (const auto& [position, record] : records) {
            ++walk.visited;
            if (!visit(record)) break;
        }
        return walk;
    };
    RecordDigest written;
    WalkResult walk;
    if (!writeDataFile({out, file, entries, replace, "written"}, source, written, walk, io)) return kExitDataError;
    io.out << "wrote " << out << ": " << file << " as of " << formatUtc(time) << ", " << undone
           << (undone == 1 ? " change" : " changes") << " taken back, verified: " << written.text() << '\n';
    return kExitOk;
}

void registerAsOf(CLI::App& app, SubcommandContext& context) {
    CLI::App* sub = app.add_subcommand(
        "as-of",
        "Write a new data file, keys and all, holding the records of FILE as they were at TIME: its records now "
        "with every later change its journal keeps taken back. OUT may be on a server, as for copy.");
    auto file = std::make_shared<std::string>();
    auto timeText = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    auto replace = std::make_shared<bool>(false);
    sub->add_option("FILE", *file, "data file")->required();
    const auto isTime = [](const std::string& text) {
        return parseTime(text) ? std::string() : "not a time such as 2026-03-07T10:05:00Z: " + text;
    };
    sub->add_option("TIME", *timeText, "ISO 8601; local time without a zone")
        ->required()
        ->check(CLI::Validator(isTime, "TIME", "time"));
    sub->add_option("OUT", *out, "the new data file")->required();
    sub->add_flag("--replace", *replace, "write over an existing file");
    sub->callback([&context, file, timeText, out, replace] {
        context.exitStatus = runAsOf(*file, *parseTime(*timeText), *out, *replace, context.io);
    });
}

}  // namespace grimstore
