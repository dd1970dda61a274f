// The world check: reads the six files and finds what the game would trip over:
// references to records that do not exist, coded values without a word, ability
// codes outside the table, text fields not stored the usual way (the text, a zero
// byte, blanks), names used twice in a table and record numbers no reference or
// Goto can reach. It reads in steps, a batch at a time, so a window can stay live.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "world/read_files.h"
#include "world/references.h"

namespace world {

struct Problem {
    records::TableId table;
    std::int32_t record;
    std::string field;    // "DropItem C", "Name", "Number", "AbilityCode 2"
    std::string problem;  // missing-record, no-word, ability-code, text-form, duplicate-name, number-range
    std::optional<std::int64_t> number;  // the value, when it is a number
    std::string text;                    // else the value: a text's bytes as stored (code page 437)
    std::string detail;                  // what is wrong, in words
    client::Position position{};         // where the record lies: that very record, should two share a number
};

class WorldCheck {
public:
    explicit WorldCheck(ReadFiles& files);
    ~WorldCheck();

    // Reads one batch and adds the problems it found. False once the whole world is
    // read or a file could not be read (status() then says which).
    bool step(std::vector<Problem>& found);
    client::Status status() const { return status_; }
    // The table whose file failed, when status() is not 0.
    records::TableId failedTable() const { return order_[current_]; }

private:
    void checkRecord(records::TableId table, std::span<const std::uint8_t> row, const client::Position& position,
                     std::vector<Problem>& found);

    ReadFiles& files_;
    // The tables others name are read first, so their numbers are known when the
    // references to them are checked.
    std::array<records::TableId, 6> order_;
    std::size_t current_ = 0;
    std::unique_ptr<BatchReader> reader_;
    Batch batch_;  // kept, so that each step reads into the room the one before made
    // Per table: the numbers that exist (of the tables others name), and the names seen.
    std::array<std::unordered_set<std::int32_t>, 6> exists_;
    std::array<std::unordered_map<std::string, std::int32_t>, 6> names_;
    std::array<std::vector<ReferringElement>, 6> references_;
    std::array<std::int64_t, 6> widestReference_{};  // highest number a reference to the table can hold
    // Per table, every element of every field with its place in the row and its label,
    // worked out once rather than for each record.
    struct Element {
        const records::Field* field;
        std::uint16_t offset;
        std::string label;
    };
    std::array<std::vector<Element>, 6> elements_;
    client::Status status_ = 0;
};

}  // namespace world
