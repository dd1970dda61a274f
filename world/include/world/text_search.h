// Find's test of a record: whether one of its text fields contains the text,
// without regard to letter case (code page 437 letters included), or, for a whole
// number typed alone, whether the record has that number. It reads only the number,
// the title and the text fields of each record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/descriptions.h"
#include "world/batch_reader.h"

namespace world {

struct TextMatch {
    std::int32_t number;
    std::string title;       // the name, or a message's first line, up to its first zero byte
    std::string_view field;  // the first field that matched: "Name", "DescB", "Number" ...
};

class TextSearch {
public:
    // text: the file's bytes (code page 437). onlyField: search that text field alone.
    TextSearch(records::TableId table, std::string_view text, std::string_view onlyField = {});

    records::TableId table() const { return table_; }
    // False when there is nothing to look for (empty text, or no such field).
    bool searches() const { return !needle_.empty() && !fields_.empty(); }
    // Every record, only the number, the title and the searched fields.
    BatchRequest request(std::uint16_t perBatch) const;
    // The match of one record of a batch read with request().
    std::optional<TextMatch> match(std::span<const std::uint8_t> extracted) const;

    // The text fields of a table, in description order.
    static std::vector<const records::Field*> textFields(records::TableId table);

private:
    bool contains(std::span<const std::uint8_t> field) const;

    records::TableId table_;
    std::string needle_;  // folded to lower case
    std::optional<std::int32_t> number_;
    std::vector<const records::Field*> fields_;
    std::vector<RowField> extracted_;
};

// The number of the first record after `after` that matches, wrapping at the end to
// the first record (and so to `after` itself); none when no record matches or a read
// failed (status then says which).
std::optional<std::int32_t> nextMatch(client::File& file, const TextSearch& search, std::int32_t after,
                                      client::Status& status);

}  // namespace world
