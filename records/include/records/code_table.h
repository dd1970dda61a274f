// A table of words for a coded field: shows a code as its word and reads a word back.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace records {

struct CodeWord {
    std::int16_t code;
    std::string_view word;
};

class CodeTable {
public:
    // rows in code order; from openEndFrom on, every higher code shows the word of
    // that row too (the "Unknown" rows).
    constexpr CodeTable(std::span<const CodeWord> rows, std::optional<std::int16_t> openEndFrom = std::nullopt)
        : rows_(rows), openEndFrom_(openEndFrom) {}

    // The rows in code order, as a drop-down list offers them.
    std::span<const CodeWord> rows() const { return rows_; }

    // The word of a code, or none.
    std::optional<std::string_view> word(int code) const;

    // Whether the code has a row of its own (a code past the open end shows that
    // row's word but has none).
    bool hasRow(int code) const;

    // The lowest code whose word equals text, whole and case-sensitively; or none.
    std::optional<std::int16_t> code(std::string_view text) const;

    // What a box shows for a code: its word, or its decimal number when it has none,
    // so that the box always shows this record's value.
    std::string displayText(int code) const;

    // The code a box's text saves, given the code the record holds now:
    // - the text the stored code itself shows keeps the stored code, so a word that
    //   several codes share, or an open-ended word, never changes an untouched field;
    // - otherwise the lowest code with that word;
    // - otherwise the plain decimal text of a 16-bit code that has no word (the text
    //   displayText shows for it) is that code;
    // - otherwise none: the caller keeps the stored code.
    std::optional<std::int16_t> codeFromText(std::string_view text, std::int16_t stored) const;

private:
    std::span<const CodeWord> rows_;
    std::optional<std::int16_t> openEndFrom_;
};

}  // namespace records
