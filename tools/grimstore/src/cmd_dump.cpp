// dump: one JSON object per record (JSON Lines): key values, the record bytes
// as hex and, for files with a known layout, the named fields.
#include <filesystem>

#include "command_support.h"
#include "commands.h"
#include "progress.h"
#include "record_walk.h"
#include "status_text.h"

namespace grimstore {
namespace {

std::string hex(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

bool isIntegerType(uint8_t type) {
    return type == B_TYPE_INTEGER || type == B_TYPE_AUTOINCREMENT || type == B_TYPE_UNSIGNED_BINARY;
}

// An integer key as a number; any other key as the hex of its bytes; null
// when the key lies outside the record.
nlohmann::ordered_json keyValue(const Key& key, std::span<const uint8_t> record) {
    std::vector<uint8_t> bytes;
    for (const KeySegment& segment : key) {
        if (segment.position == 0 || segment.position - 1u + segment.length > record.size()) return nullptr;
        const auto part = record.subspan(segment.position - 1u, segment.length);
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    const uint8_t type = key.front().effectiveType();
    const size_t n = bytes.size();
    if (key.size() != 1 || !isIntegerType(type) || (n != 1 && n != 2 && n != 4 && n != 8)) return hex(bytes);
    uint64_t value = 0;
    for (size_t i = n; i-- > 0;) value = (value << 8) | bytes[i];
    if (type == B_TYPE_UNSIGNED_BINARY) return value;
    const unsigned shift = static_cast<unsigned>(64 - 8 * n);
    return static_cast<int64_t>(value << shift) >> shift;  // sign-extend
}

}  // namespace

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
        line["data"] = hex(record);
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
