// Layout-aware formatting of one record of a game data file as a JSON object,
// and the way back to the exact bytes.
//
// The object holds every field of the record by its name in the record structure,
// in record order:
// - numbers as numbers (bytes 0 to 255, 16- and 32-bit fields signed);
//   a field of several elements (the five drops, attacks ...) as a list;
// - texts decoded through code page 437 as strings, always: the characters before the
//   field's first zero byte, or all of them when it has none (a string as long as the
//   field means "no zero byte");
// - "textBytes": an object in every record, holding for each text field not stored in
//   the usual form (the text, one zero byte, blanks up to the field's width; or the text
//   filling the field) the whole field as hex, so that nothing after the zero is lost;
// - coded fields as {"code": n, "word": the word of the field's table or null},
//   lists of those for fields of several elements;
// - the ability slots as "Abilities": a list of {"code", "word", "value"};
// - fields that the editor does not show ("Hidden31", "DropItemHidden" ...) as hex of
//   their little-endian bytes, the elements of a field one after the other;
// - "tail": the bytes after the fields as hex, for records longer than their fields.
// Encoding reads the same object back; "word" is ignored there, so the numbers, strings
// and hex parts alone give the bytes back ("textBytes" over the strings).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace gamedata {

// Ordered, so the fields read in the order of the record.
using RecordJson = nlohmann::ordered_json;

using RecordFormatter = std::function<RecordJson(std::span<const std::uint8_t> record)>;

// For a file recognised by its base name (letter case ignored) and record length,
// the formatter of its records; an empty function otherwise. A record of another
// length than the file's gives {"error": ...}.
RecordFormatter recordFormatter(std::string_view fileName, std::uint32_t recordLength);

struct EncodedRecord {
    std::vector<std::uint8_t> bytes;  // the record, of the file's record length
    std::string error;                // empty on success; names the field at fault
};

using RecordEncoder = std::function<EncodedRecord(const RecordJson& fields)>;

// The way back: an object as the formatter writes it becomes the record's bytes.
// An empty function for files the formatter does not recognise.
RecordEncoder recordEncoder(std::string_view fileName, std::uint32_t recordLength);

}  // namespace gamedata
