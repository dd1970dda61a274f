// What differs between two versions of a record, decided in this one place for
// the history, the comparison of two files, the conflicts of a change set and
// the editor's History window: for the game's six files the fields by name,
// through the record descriptions (as the dump names them), for any other file
// the runs of bytes that differ. And how a change of the journal reads.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <wbtrv32/client.h>

#include "gamedata/record_formatter.h"

namespace gamedata {

// One field, or one run of bytes, that differs; null on a side where the record
// is absent (an insert has no before, a delete no after).
struct Difference {
    std::string name;  // the field's name ("CP", "textBytes.Name"), or a run's first byte, 1-based ("5")
    RecordJson before, after;
};

struct RecordDifferences {
    bool byField = false;  // fields by name; otherwise runs of bytes, their values hex
    std::vector<Difference> items;

    bool empty() const { return items.empty(); }
    // {"HP": [120, 12]} under the key jsonKey() names.
    RecordJson json() const;
    // "fields", or "bytes" for runs of bytes.
    const char* jsonKey() const { return byField ? "fields" : "bytes"; }
    // "CP 40 → 47, Name "Orc" → "Ork"", or "bytes 5-6 0a0b → 0c0d"; elements of a
    // list that differ are named one by one ("Abilities[3] Strength 2 → Charm 1").
    std::string text() const;
};

using Image = std::optional<std::span<const std::uint8_t>>;

// Compares versions of the records of one file.
class RecordComparer {
public:
    // fileName's base name and the record length decide whether the records are
    // one of the game's six tables.
    RecordComparer(std::string_view fileName, std::uint32_t recordLength);

    // What differs from before to after; either may be absent.
    RecordDifferences compare(Image before, Image after) const;
    // Every field of one record by name, as the dump writes them; none for a file
    // whose layout is not known, or a record not of its length.
    std::optional<RecordJson> fields(std::span<const std::uint8_t> record) const;

private:
    RecordFormatter formatter_;
    std::uint32_t recordLength_;
};

// A field's value as a person reads it: 40, "Orc", a code's word (its number when
// it has none), an ability slot as its word and value ("Strength 2"), a list as
// [a, b], an absent value as "none".
std::string valueText(const RecordJson& value);

// "insert", "update" or "delete".
std::string_view operationName(std::uint16_t operation);
// Who made a change: "user@host (program)"; on a server the role, the client's
// address (none over a local socket) and the application name.
std::string whoText(const wbtrv::client::JournalEntry& entry);

}  // namespace gamedata
