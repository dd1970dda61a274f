// dump: one JSON object per record (JSON Lines): key values in their types'
// own forms, the record bytes as hex and, for files with a known layout, the named fields.
#include <wbtrv32/bytes.h>

#include <filesystem>

#include "command_support.h"
#include "commands.h"
#include "key_value_json.h"
#include "progress.h"
#include "record_walk.h"
#include "status_text.h"

namespace grimstore {

int runDump(const std::string& file, Io& io, const DumpOptions& options) {
    client::File data;
    CreateEntries entries;
    if (!openAndStat(data, file, client::OpenMode::ReadOnly, entries, io.err)) return kExitDataError;
    // A named layout stands in for the file's own name: a renamed backup decodes alike.
    const std::string layoutFile =
        options.layout.empty() ? std::filesystem::path(file).filename().string() : layoutFileName(options.layout);
    const RecordFormatter formatter =
        options.lookup ? options.lookup(layoutFile, entries.recordLength) : RecordFormatter{};
    if (!options.layout.empty() && !formatter) {
        io.err << "grimstore dump: " << file << ": records of " << entries.recordLength << " bytes do not have the "
               << options.layout << " layout\n";
        return kExitDataError;
    }
    Progress progress(io.err, io.progress, "dumping " + file, entries.recordCount);
    uint64_t dumped = 0;
    const WalkResult walk = walkRecords(data, entries, [&](auto record) {
        nlohmann::ordered_json line;
        if (options.nameFile) line["file"] = file;
        nlohmann::ordered_json& keys = line["keys"] = nlohmann::ordered_json::array();
        for (const KeySegments& key : entries.keys) keys.push_back(keyValue(key, record));
        line["data"] = wbtrv::hex(record);
        if (formatter) line["fields"] = formatter(record);
        // Text fields may hold any bytes; replace what is not UTF-8 rather than fail.
        io.out << line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        progress.advance(++dumped);
        return bool(io.out);
    });
    if (walk.status != B_NO_ERROR) {
        io.err << statusError(file, "reading record " + std::to_string(dumped + 1), walk.status) << '\n';
        return kExitDataError;
    }
    return kExitOk;
}

void registerDump(CLI::App& app, SubcommandContext& context) {
    auto layout = std::make_shared<std::string>();
    CLI::App* sub = addEachFileSubcommand(
        app, context, "dump",
        "Write every record as one JSON object per line: key values, the bytes as hex and, for the game's "
        "files, every field by name; with several files each line begins with \"file\".",
        [layout](const std::string& file, Io& io, bool several) {
            return runDump(file, io, {.lookup = layoutFormatterFor, .layout = *layout, .nameFile = several});
        });
    sub->add_option("--layout", *layout, "decode with this game layout whatever the file's name")
        ->check(CLI::IsMember(layoutNames()))
        ->type_name("TABLE");
}

}  // namespace grimstore
