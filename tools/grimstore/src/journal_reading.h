// What the subcommands over the journal of changes share: the --since option
// (a sequence number or a time), one entry by its number, and how an entry
// reads in a line of text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

#include "command_support.h"
#include "gamedata/record_changes.h"
#include "record_key.h"

namespace grimstore {

// "--since SEQ|TIME": a sequence number, or a time as parseTime reads it.
struct Since {
    std::optional<uint64_t> sequence;
    std::optional<int64_t> time;
};
std::optional<Since> parseSince(std::string_view text);
// The query from its first entry on.
void applySince(const Since& since, client::JournalQuery& query);

// Adds --since to sub, its text checked as parseSince reads it.
CLI::Option* addSinceOption(CLI::App& sub, std::string& text);

// Reads the journal's state; false, having said why on io.err, when it cannot
// be read or the file keeps no journal.
bool keepsJournal(const std::string& file, client::JournalState& state, Io& io);

// Entry `sequence` of the file's journal; 0, or 4 (key value not found) when the
// journal holds no such entry, or the status of the read.
client::Status readEntry(const std::string& file, uint64_t sequence, client::JournalEntry& entry);

// "entry 42 (update of record 12, 2026-03-07T10:05:30Z, alice@host (grimstore))"
std::string entryText(const client::JournalEntry& entry);

// How the entries of one file read: its records compared through their layout, named by key 0.
struct EntryReader {
    gamedata::RecordComparer comparer;
    std::optional<RecordKey> key;  // none for a file without keys

    EntryReader(const std::string& file, const CreateEntries& entries);
    // The image the entry left, else the one it took away.
    static std::span<const uint8_t> image(const client::JournalEntry& entry);
    // {"seq", "time", "operation", "record", "key", "user", "host", "program", "fields" or "bytes"},
    // and "damaged": true for an entry that was damaged.
    nlohmann::ordered_json json(const client::JournalEntry& entry) const;
    // "42  2026-03-07T10:05:30Z  update  record 12, key 12  alice@host (grimstore)  CP 40 → 47"
    std::string line(const client::JournalEntry& entry) const;
};

}  // namespace grimstore
