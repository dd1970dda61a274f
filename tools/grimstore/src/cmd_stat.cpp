// stat: record length, page size, keys and record count of data files, as text
// or, for scripts, as one JSON object per file.
#include <nlohmann/json.hpp>

#include "command_support.h"
#include "commands.h"

namespace grimstore {
namespace {

// The name of the collating sequence a segment sorts through, if it has one.
const std::string* collatingName(const CreateEntries& entries, const SegmentEntry& segment) {
    if (!(segment.flags & B_KEY_ALT_COLLATING) || segment.collatingSequence >= entries.sequences.size()) return nullptr;
    return &entries.sequences[segment.collatingSequence].name;
}

// Whether the file has an owner name (never the name: the file keeps only
// its hash) and what an Open without it may do.
std::string ownerText(const CreateEntries& entries) {
    if (!entries.ownerAccess) return "none";
    const bool readOnly =
        *entries.ownerAccess == B_OWNER_READ_ONLY || *entries.ownerAccess == B_OWNER_READ_ONLY_ENCRYPTED;
    return "set, access code " + std::to_string(*entries.ownerAccess) + " (" + (readOnly ? "read-only" : "no access") +
           " without it)";
}

void writeText(const std::string& file, const CreateEntries& entries, std::ostream& out) {
    out << "file: " << file << '\n'
        << "record length: " << entries.recordLength << '\n'
        << "page size: " << entries.pageSize << '\n'
        << "records: " << entries.recordCount << '\n'
        << "owner name: " << ownerText(entries) << '\n'
        << "keys: " << entries.keys.size() << '\n';
    for (size_t k = 0; k < entries.keys.size(); ++k) {
        const KeySegments& key = entries.keys[k];
        for (size_t s = 0; s < key.size(); ++s) {
            const SegmentEntry& seg = key[s];
            out << "key " << k;
            if (key.size() > 1) out << " segment " << s;
            out << ": position " << seg.position << ", length " << seg.length << ", type "
                << typeName(seg.effectiveType()) << ", flags " << flagNames(seg.flags);
            if (seg.flags & (B_KEY_NULL_ALL | B_KEY_NULL_ANY)) out << ", null value " << int(seg.nullValue);
            if (const std::string* name = collatingName(entries, seg)) out << ", collating sequence " << *name;
            out << '\n';
        }
    }
}

// {"file", "recordLength", "pageSize", "records", "owner", "keys": [[{"position", "length", "type", "flags"}, ...]]}:
// "owner" the owner name's access code, null without one; every key a list
// of its segments, flags a list of names.
void writeJson(const std::string& file, const CreateEntries& entries, std::ostream& out) {
    nlohmann::ordered_json keys = nlohmann::ordered_json::array();
    for (const KeySegments& key : entries.keys) {
        nlohmann::ordered_json& segments = keys.emplace_back(nlohmann::ordered_json::array());
        for (const SegmentEntry& segment : key) {
            nlohmann::ordered_json flags = nlohmann::ordered_json::array();
            const std::string names = flagNames(segment.flags);
            for (size_t at = 0; names != "none" && at <= names.size();) {
                const size_t comma = std::min(names.find(',', at), names.size());
                flags.push_back(names.substr(at, comma - at));
                at = comma + 1;
            }
            segments.push_back({{"position", segment.position},
                                {"length", segment.length},
                                {"type", typeName(segment.effectiveType())},
                                {"flags", flags}});
            if (segment.flags & (B_KEY_NULL_ALL | B_KEY_NULL_ANY)) segments.back()["nullValue"] = segment.nullValue;
            if (const std::string* name = collatingName(entries, segment)) segments.back()["collatingSequence"] = *name;
        }
    }
    const nlohmann::ordered_json object{
        {"file", file},
        {"recordLength", entries.recordLength},
        {"pageSize", entries.pageSize},
        {"records", entries.recordCount},
        {"owner", entries.ownerAccess ? nlohmann::ordered_json(*entries.ownerAccess) : nlohmann::ordered_json()},
        {"keys", keys}};
    out << object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

int runStat(const std::string& file, Io& io, bool json) {
    client::File data;
    CreateEntries entries;
    if (!openAndStat(data, file, client::OpenMode::ReadOnly, entries, io.err)) return kExitDataError;
    if (json)
        writeJson(file, entries, io.out);
    else
        writeText(file, entries, io.out);
    return kExitOk;
}

void registerStat(CLI::App& app, SubcommandContext& context) {
    auto json = std::make_shared<bool>(false);
    CLI::App* sub =
        addEachFileSubcommand(app, context, "stat", "Show the record length, keys and record count of data files.",
                              [json](const std::string& file, Io& io, bool several) {
                                  const int status = runStat(file, io, *json);
                                  // Text reports of several files end with a blank line each.
                                  if (several && !*json) io.out << '\n';
                                  return status;
                              });
    sub->add_flag("--json", *json, "one JSON object per file, for scripts");
}

}  // namespace grimstore
