// create: a new, empty data file from a record length and its keys.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "command_support.h"
#include "commands.h"
#include "output_file.h"
#include "status_text.h"
#include "subcommands.h"

namespace grimstore {
namespace {

// Types Create refuses, so that the command line refuses them before any call.
constexpr uint8_t kRefusedTypes[] = {B_TYPE_NOTE, B_TYPE_LVAR, B_TYPE_BIT};
constexpr uint32_t kPageUnit = 512;
constexpr uint32_t kMaxPageSize = 16384;

// An empty string when text is a key Create accepts the types of, otherwise what is wrong.
std::string checkKey(const std::string& text) {
    std::string error;
    const auto key = parseKey(text, error);
    if (!key) return "'" + text + "': " + error + " (POS:LEN:TYPE[:FLAGS][+POS:LEN:TYPE[:FLAGS]...])";
    for (const SegmentEntry& segment : *key)
        if (std::ranges::find(kRefusedTypes, segment.type) != std::end(kRefusedTypes))
            return "'" + text + "': key type '" + typeName(segment.type) + "' is not supported";
    return {};
}

std::string checkPageSize(const std::string& text) {
    uint32_t size = 0;
    if (!CLI::detail::lexical_cast(text, size) || size < kPageUnit || size > kMaxPageSize || size % kPageUnit)
        return "page size " + text + " is not one of 512, 1024, 1536, ... 16384 (a multiple of 512 up to 16384)";
    return {};
}

// A collating sequence file holds the 265 bytes Create takes: 0xAC, an 8-byte
// name, the 256-byte table.
bool readCollatingSequence(const std::string& path, wbtrv::CollatingSequence& sequence) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() != BTR_COLLATING_SEQUENCE_SIZE || bytes[0] != BTR_COLLATING_SEQUENCE_MARK) return false;
    sequence.name.assign(bytes.begin() + 1, bytes.begin() + 9);
    sequence.name.erase(sequence.name.find_last_not_of(' ') + 1);
    std::copy(bytes.begin() + 9, bytes.end(), sequence.table.begin());
    return true;
}

// The folder the file goes into, when it does not exist.
std::optional<std::filesystem::path> missingFolder(const std::string& file) {
    std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) return std::nullopt;
    return folder;
}

}  // namespace

int runCreate(const CreateOptions& options, Io& io) {
    CreateEntries entries;
    entries.recordLength = static_cast<uint16_t>(options.recordLength);
    entries.pageSize = static_cast<uint16_t>(options.pageSize);
    for (const std::string& text : options.keys) {
        std::string error;
        const auto key = parseKey(text, error);
        if (!key) {
            io.err << "grimstore create: --key '" << text << "': " << error << '\n';
            return kExitUsageError;
        }
        entries.keys.push_back(*key);
    }
    if (!options.collatingSequence.empty()) {
        if (!readCollatingSequence(options.collatingSequence, entries.sequences.emplace_back())) {
            io.err << "grimstore create: --collating-sequence '" << options.collatingSequence
                   << "': not a collating sequence of 265 bytes starting with 0xAC\n";
            return kExitUsageError;
        }
    }
    if (const auto folder = missingFolder(options.file)) {
        io.err << "grimstore create: " << options.file << ": the folder " << folder->string() << " does not exist\n";
        return kExitDataError;
    }
    std::string error;
    const auto target = dataFileTarget(options.file, error);
    if (!target) {
        io.err << "grimstore create: " << error << '\n';
        return kExitDataError;
    }
    const int16_t status =
        client::create(*target, entries, options.replace ? client::IfExists::Replace : client::IfExists::Refuse);
    if (status != B_NO_ERROR) {
        io.err << statusError(options.file, "create", status);
        if (status == B_FILE_ALREADY_EXISTS) io.err << "; use --replace to replace it";
        io.err << '\n';
        return kExitDataError;
    }
    return kExitOk;
}

void registerCreate(CLI::App& app, SubcommandContext& context) {
    auto options = std::make_shared<CreateOptions>();
    CLI::App* sub = app.add_subcommand("create", "Create an empty data file.");
    sub->add_option("FILE", options->file, "data file to create")->required();
    sub->add_option("--record-length,-r", options->recordLength, "record length in bytes")
        ->required()
        ->check(CLI::Range(1u, 65535u));
    sub->add_option("--key,-k", options->keys,
                    "one key per option, in key-number order: POS:LEN:TYPE[:FLAGS], POS 1-based; "
                    "a key of several segments joins them with '+' (1:20:string:nocase+21:4:date:desc). "
                    "TYPE: string, integer, float, date, time, decimal, money, logical, numeric, bfloat, "
                    "lstring, zstring, unsigned, autoinc, numeric-sts (or the type code). FLAGS comma-"
                    "separated: dup (duplicates allowed), mod (modifiable), null (left out when every "
                    "segment is all zero bytes), nullany (left out when any segment is), desc "
                    "(descending), nocase (letters compare without case), alt (sorted through "
                    "--collating-sequence)")
        ->required()
        ->type_name("POS:LEN:TYPE[:FLAGS][+...]")
        ->check(CLI::Validator(checkKey, "", "key"));
    sub->add_option("--page-size", options->pageSize, "page size, a multiple of 512 from 512 to 16384")
        ->capture_default_str()
        ->check(CLI::Validator(checkPageSize, "", "page size"));
    sub->add_option("--collating-sequence", options->collatingSequence,
                    "file of 265 bytes (0xAC, an 8-character name, a 256-byte table) that segments "
                    "with the flag alt sort through");
    sub->add_flag("--replace", options->replace, "replace the file if it exists");
    sub->callback([options, &context] { context.exitStatus = runCreate(*options, context.io); });
}

}  // namespace grimstore
