#include "records/code_table.h"

#include "records/number_text.h"

namespace records {

std::optional<std::string_view> CodeTable::word(int code) const {
    if (openEndFrom_ && code >= *openEndFrom_) code = *openEndFrom_;
    for (const CodeWord& row : rows_)
        if (row.code == code) return row.word;
    return std::nullopt;
}

bool CodeTable::hasRow(int code) const {
    for (const CodeWord& row : rows_)
        if (row.code == code) return true;
    return false;
}

std::optional<std::int16_t> CodeTable::code(std::string_view text) const {
    for (const CodeWord& row : rows_)
        if (row.word == text) return row.code;
    return std::nullopt;
}

std::string CodeTable::displayText(int code) const {
    if (const auto w = word(code)) return std::string(*w);
    return decimalText(code);
}

std::optional<std::int16_t> CodeTable::codeFromText(std::string_view text, std::int16_t stored) const {
    if (text == displayText(stored)) return stored;
    if (const auto c = code(text)) return c;
    // Only the plain decimal text that a box shows for a code without a word: "5"
    // is no name of code 5, which a box would show by its word.
    if (const auto n = parseWholeNumber(text, INT16_MIN, INT16_MAX); n && displayText(static_cast<int>(*n)) == text)
        return static_cast<std::int16_t>(*n);
    return std::nullopt;
}

}  // namespace records
