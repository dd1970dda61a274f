#include "journal_reading.h"

#include <charconv>
#include <filesystem>

#include "status_text.h"
#include "time_text.h"

namespace grimstore {

std::optional<Since> parseSince(std::string_view text) {
    uint64_t sequence = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), sequence);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size()) return Since{sequence, {}};
    if (const auto time = parseTime(text)) return Since{{}, *time};
    return std::nullopt;
}

void applySince(const Since& since, client::JournalQuery& query) {
    query.sinceSequence = since.sequence;
    query.sinceTime = since.time;
}

CLI::Option* addSinceOption(CLI::App& sub, std::string& text) {
    const auto check = [](const std::string& value) {
        return parseSince(value) ? std::string()
                                 : "not a sequence number or a time such as 2026-03-07T10:05Z: " + value;
    };
    return sub
        .add_option("--since", text,
                    "from this entry on: its sequence number, or a time (ISO 8601; local time without a zone)")
        ->type_name("SEQ|TIME")
        ->check(CLI::Validator(check, "SEQ|TIME", "since"));
}

// Whether the file keeps a journal; says why not on err.
bool keepsJournal(const std::string& file, client::JournalState& state, Io& io) {
    if (const client::Status status = client::journalState(file, state); status != B_NO_ERROR) {
        io.err << statusError(file, "reading the journal's state", status) << '\n';
        return false;
    }
    if (!state.kept)
        io.err << "grimstore: " << file
               << ": no journal (a file of an earlier version; 'grimstore journal on' gives it one)\n";
    return state.kept;
}

client::Status readEntry(const std::string& file, uint64_t sequence, client::JournalEntry& entry) {
    std::vector<client::JournalEntry> entries;
    client::JournalQuery query{client::JournalOrder::OldestFirst, std::nullopt, sequence, std::nullopt};
    const client::Status status = client::readJournal(file, query, entries, 1);
    if (status != B_NO_ERROR) return status;
    if (entries.empty() || entries.front().sequence != sequence) return B_KEY_VALUE_NOT_FOUND;
    entry = std::move(entries.front());
    return B_NO_ERROR;
}

std::string entryText(const client::JournalEntry& entry) {
    return "entry " + std::to_string(entry.sequence) + " (" + std::string(gamedata::operationName(entry.operation)) +
           " of record " + std::to_string(entry.record) + ", " + formatUtc(entry.time) + ", " +
           gamedata::whoText(entry) + ")";
}

EntryReader::EntryReader(const std::string& file, const CreateEntries& entries)
    : comparer(std::filesystem::path(file).filename().string(), entries.recordLength) {
    if (!entries.keys.empty()) key.emplace(entries.keys.front());
}

std::span<const uint8_t> EntryReader::image(const client::JournalEntry& entry) {
    if (entry.after) return *entry.after;
    if (entry.before) return *entry.before;
    return {};
}

nlohmann::ordered_json EntryReader::json(const client::JournalEntry& entry) const {
    nlohmann::ordered_json line{{"seq", entry.sequence},
                                {"time", formatUtc(entry.time)},
                                {"operation", gamedata::operationName(entry.operation)},
                                {"record", entry.record}};
    if (key) line["key"] = key->value(image(entry));
    line["user"] = entry.user;
    line["host"] = entry.host;
    line["program"] = entry.program;
    const gamedata::RecordDifferences differences = comparer.compare(entry.before, entry.after);
    line[differences.jsonKey()] = differences.json();
    if (entry.damaged) line["damaged"] = true;
    return line;
}

std::string EntryReader::line(const client::JournalEntry& entry) const {
    std::string text = std::to_string(entry.sequence) + "  " + formatUtc(entry.time) + "  ";
    if (entry.damaged) text += "damaged entry, ";
    text += std::string(gamedata::operationName(entry.operation)) + "  record " + std::to_string(entry.record);
    if (key && (entry.before || entry.after)) text += ", key " + key->text(image(entry));
    text += "  " + gamedata::whoText(entry);
    if (entry.before && entry.after) text += "  " + comparer.compare(entry.before, entry.after).text();
    return text;
}

}  // namespace grimstore
