#include "gamedata/record_changes.h"

#include <wbtrv32/bytes.h>

#include <algorithm>

namespace gamedata {
namespace {

using json = RecordJson;

const json kAbsent;  // null

const json& member(const json& object, const std::string& name) {
    if (!object.is_object()) return kAbsent;
    const auto found = object.find(name);
    return found == object.end() ? kAbsent : *found;
}

// The names of both objects, those of the first in its order, then those only the second has.
std::vector<std::string> namesOf(const json& first, const json& second) {
    std::vector<std::string> names;
    for (const json* object : {&first, &second})
        if (object->is_object())
            for (const auto& [name, value] : object->items())
                if (std::ranges::find(names, name) == names.end()) names.push_back(name);
    return names;
}

// The fields of the dump that differ; the exact bytes of unusual texts ("textBytes")
// count as fields of their own, named "textBytes.Name".
std::vector<Difference> fieldDifferences(const json& before, const json& after) {
    std::vector<Difference> items;
    const auto add = [&items](std::string name, const json& b, const json& a) {
        if (b != a) items.push_back({std::move(name), b, a});
    };
    for (const std::string& name : namesOf(before, after)) {
        if (name != "textBytes") {
            add(name, member(before, name), member(after, name));
            continue;
        }
        const json& b = member(before, name);
        const json& a = member(after, name);
        for (const std::string& text : namesOf(b, a)) add(name + "." + text, member(b, text), member(a, text));
    }
    return items;
}

json hexOf(const Image& image, std::size_t from, std::size_t to) {
    if (!image || from >= image->size()) return nullptr;
    return wbtrv::hex(image->subspan(from, std::min(to, image->size()) - from));
}

// The runs of bytes that differ, a byte one side lacks counting as different.
std::vector<Difference> byteDifferences(const Image& before, const Image& after) {
    const std::size_t length = std::max(before ? before->size() : 0, after ? after->size() : 0);
    const auto differs = [&](std::size_t i) {
        const bool inBefore = before && i < before->size(), inAfter = after && i < after->size();
        return inBefore != inAfter || (inBefore && (*before)[i] != (*after)[i]);
    };
    std::vector<Difference> items;
    for (std::size_t i = 0; i < length;) {
        if (!differs(i)) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < length && differs(i)) ++i;
        items.push_back({std::to_string(start + 1), hexOf(before, start, i), hexOf(after, start, i)});
    }
    return items;
}

std::string listText(const json& list) {
    std::string text = "[";
    for (const json& element : list) text += (text.size() > 1 ? ", " : "") + valueText(element);
    return text + "]";
}

// "Name old → new"; lists of the same length name only the elements that differ.
void appendDifference(std::string& text, const std::string& name, const json& before, const json& after) {
    if (before.is_array() && after.is_array() && before.size() == after.size()) {
        for (std::size_t i = 0; i < before.size(); ++i)
            if (before[i] != after[i])
                appendDifference(text, name + "[" + std::to_string(i) + "]", before[i], after[i]);
        return;
    }
    text += (text.empty() ? "" : ", ") + name + " " + valueText(before) + " → " + valueText(after);
}

}  // namespace

RecordJson RecordDifferences::json() const {
    RecordJson object = RecordJson::object();
    for (const Difference& item : items) object[item.name] = RecordJson::array({item.before, item.after});
    return object;
}

std::string RecordDifferences::text() const {
    std::string text;
    for (const Difference& item : items) {
        if (byField) {
            appendDifference(text, item.name, item.before, item.after);
            continue;
        }
        const std::size_t first = std::stoul(item.name);
        const std::size_t bytes = std::max(item.before.is_string() ? item.before.get<std::string>().size() : 0,
                                           item.after.is_string() ? item.after.get<std::string>().size() : 0) /
                                  2;
        const std::string run = bytes > 1 ? item.name + "-" + std::to_string(first + bytes - 1) : item.name;
        text += (text.empty() ? "bytes " : ", bytes ") + run + " " +
                (item.before.is_string() ? item.before.get<std::string>() : "none") + " → " +
                (item.after.is_string() ? item.after.get<std::string>() : "none");
    }
    return text;
}

RecordComparer::RecordComparer(std::string_view fileName, std::uint32_t recordLength)
    : formatter_(recordFormatter(fileName, recordLength)), recordLength_(recordLength) {}

std::optional<RecordJson> RecordComparer::fields(std::span<const std::uint8_t> record) const {
    if (!formatter_ || record.size() != recordLength_) return std::nullopt;
    return formatter_(record);
}

RecordDifferences RecordComparer::compare(Image before, Image after) const {
    // A record written back unchanged differs nowhere; formatting it twice would only say so.
    if (before && after && std::ranges::equal(*before, *after))
        return {formatter_ && before->size() == recordLength_, {}};
    const auto fieldsOf = [this](const Image& image) { return image ? fields(*image) : std::optional(RecordJson()); };
    const auto b = fieldsOf(before), a = fieldsOf(after);
    if (b && a) return {true, fieldDifferences(*b, *a)};
    return {false, byteDifferences(before, after)};
}

std::string valueText(const RecordJson& value) {
    if (value.is_null()) return "none";
    if (value.is_array()) return listText(value);
    if (value.is_object() && value.contains("code")) {
        const RecordJson& word = member(value, "word");
        std::string text = word.is_string() ? word.get<std::string>() : member(value, "code").dump();
        if (value.contains("value")) text += " " + member(value, "value").dump();
        return text;
    }
    return value.dump(-1, ' ', false, RecordJson::error_handler_t::replace);
}

std::string_view operationName(std::uint16_t operation) {
    switch (operation) {
        case B_INSERT:
            return "insert";
        case B_UPDATE:
            return "update";
        case B_DELETE:
            return "delete";
    }
    return "damaged";
}

std::string whoText(const wbtrv::client::JournalEntry& entry) {
    return entry.user + (entry.host.empty() ? "" : "@" + entry.host) + " (" + entry.program + ")";
}

}  // namespace gamedata
