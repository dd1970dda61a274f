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

int runDump(const std::string& file, Io& io, const FormatterLookup& lookup) {
    DataFile data(file);
    FileSpec spec;
    if (!openAndStat(data, B_MODE_READ_ONLY, spec, io.err)) return kExitDataError;
    const RecordFormatter formatter =
        lookup ? lookup(std::filesystem::path(file).filename().string(), spec.recordLength) : RecordFormatter{};
    Progress progress(io.err, io.progress, "dumping " + file, spec.recordCount);
    uint64_t dumped = 0;
    const WalkResult walk = walkRecords(data, spec.keys.size(), [&](auto record) {
        nlohmann::ordered_json line;
        nlohmann::ordered_json& keys = line["keys"] = nlohmann::ordered_json::array();
        for (const Key& key : spec.keys) keys.push_back(keyValue(key, record));
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
    addFilesSubcommand(app, context, "dump",
                       "Write every record as one JSON object per line: key values and the bytes as hex.",
                       {{"FILE", "data file"}}, [](const auto& files, Io& io) { return runDump(files[0], io); });
}

}  // namespace grimstore
