#include "change_set.h"

#include <wbtrv32/bytes.h>

namespace grimstore {
namespace {

using Json = nlohmann::ordered_json;

Json hexOrNull(const std::optional<std::vector<uint8_t>>& image) {
    return image ? Json(wbtrv::hex(*image)) : Json(nullptr);
}

// A name that stays inside the folder it is looked for in.
bool plainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::optional<uint16_t> operationNamed(const std::string& name) {
    for (const uint16_t operation : {B_INSERT, B_UPDATE, B_DELETE})
        if (gamedata::operationName(operation) == name) return operation;
    return std::nullopt;
}

// The image under name: hex, or null when the change has none.
bool image(const Json& object, const char* name, bool present, std::optional<std::vector<uint8_t>>& out,
           std::string& error) {
    const auto found = object.find(name);
    if (!present) {
        if (found == object.end() || found->is_null()) return true;
        error = std::string("\"") + name + "\" must be null for this operation";
        return false;
    }
    if (found != object.end() && found->is_string()) out = wbtrv::fromHex(found->get<std::string>());
    if (!out || out->empty()) error = std::string("\"") + name + "\" must be the record's bytes in hex";
    return error.empty();
}

}  // namespace

Json changeLine(const std::string& fileName, const client::JournalEntry& entry, const EntryReader& reader) {
    Json line{{"file", fileName}};
    Json described = reader.json(entry);
    for (auto& [name, value] : described.items()) line[name] = std::move(value);
    line["before"] = hexOrNull(entry.before);
    line["after"] = hexOrNull(entry.after);
    return line;
}

std::optional<Change> parseChange(const std::string& text, uint64_t line, std::string& error) {
    const Json object = Json::parse(text, nullptr, false);
    if (!object.is_object()) {
        error = "not a JSON object";
        return std::nullopt;
    }
    Change change;
    change.line = line;
    const Json& file = object.contains("file") ? object["file"] : Json();
    if (!file.is_string() || !plainFileName(file.get<std::string>())) {
        error = "\"file\" must be a data file's name without a folder";
        return std::nullopt;
    }
    change.file = file.get<std::string>();
    const Json& operation = object.contains("operation") ? object["operation"] : Json();
    const auto named = operation.is_string() ? operationNamed(operation.get<std::string>()) : std::nullopt;
    if (!named) {
        error = "\"operation\" must be \"insert\", \"update\" or \"delete\"";
        return std::nullopt;
    }
    change.operation = *named;
    if (object.contains("seq") && object["seq"].is_number_unsigned()) change.sequence = object["seq"].get<uint64_t>();
    if (!image(object, "before", change.operation != B_INSERT, change.before, error) ||
        !image(object, "after", change.operation != B_DELETE, change.after, error))
        return std::nullopt;
    if (change.before && change.after && change.before->size() != change.after->size()) {
        error = "\"before\" and \"after\" differ in length";
        return std::nullopt;
    }
    return change;
}

}  // namespace grimstore
