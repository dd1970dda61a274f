// create: a new, empty data file from a record length and key specifications.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "commands.h"
#include "data_file.h"
#include "status_text.h"
#include "subcommands.h"

namespace grimstore {
namespace {

// What Create accepts, so that the command line refuses the rest before any call.
constexpr uint8_t kCreatableTypes[] = {B_TYPE_INTEGER, B_TYPE_UNSIGNED_BINARY, B_TYPE_AUTOINCREMENT};
constexpr uint16_t kRefusedFlags = B_KEY_SEGMENTED | B_KEY_ALT_COLLATING | B_KEY_DESCENDING;
constexpr uint32_t kPageUnit = 512;
constexpr uint32_t kMaxPageSize = 16384;

std::string creatableTypeNames() {
    std::string names;
    for (uint8_t type : kCreatableTypes) names += (names.empty() ? "" : ", ") + typeName(type);
    return names;
}

// An empty string when text is a key Create accepts, otherwise what is wrong.
std::string checkKey(const std::string& text) {
    std::string error;
    const auto segment = parseKeySegment(text, error);
    if (!segment) return "'" + text + "': " + error + " (POS:LEN:TYPE[:FLAGS])";
    if (std::ranges::find(kCreatableTypes, segment->type) == std::end(kCreatableTypes))
        return "'" + text + "': key type '" + typeName(segment->type) + "' is not supported; the key types are " +
               creatableTypeNames();
    if (segment->flags & kRefusedFlags)
        return "'" + text + "': the flags " + flagNames(segment->flags & kRefusedFlags) +
               " are not supported; the flags are dup, mod, null";
    return {};
}

std::string checkPageSize(const std::string& text) {
    uint32_t size = 0;
    if (!CLI::detail::lexical_cast(text, size) || size < kPageUnit || size > kMaxPageSize || size % kPageUnit)
        return "page size " + text + " is not one of 512, 1024, 1536, ... 16384 (a multiple of 512 up to 16384)";
    return {};
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
    FileSpec spec;
    spec.recordLength = static_cast<uint16_t>(options.recordLength);
    spec.pageSize = static_cast<uint16_t>(options.pageSize);
    for (const std::string& text : options.keys) {
        std::string error;
        const auto segment = parseKeySegment(text, error);
        if (!segment) {
            io.err << "grimstore create: --key '" << text << "': " << error << '\n';
            return kExitUsageError;
        }
        spec.keys.push_back(Key{*segment});
    }
    if (const auto folder = missingFolder(options.file)) {
        io.err << "grimstore create: " << options.file << ": the folder " << folder->string() << " does not exist\n";
        return kExitDataError;
    }
    const int16_t status = createDataFile(options.file, spec, options.replace);
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
                    "one key per option, in key-number order: POS:LEN:TYPE[:FLAGS], POS "
                    "1-based, TYPE integer, unsigned or autoinc, FLAGS comma-separated: dup "
                    "(duplicates allowed), mod (modifiable), null (not indexed when all bytes are 0)")
        ->required()
        ->type_name("POS:LEN:TYPE[:FLAGS]")
        ->check(CLI::Validator(checkKey, "", "key"));
    sub->add_option("--page-size", options->pageSize, "page size, a multiple of 512 from 512 to 16384")
        ->capture_default_str()
        ->check(CLI::Validator(checkPageSize, "", "page size"));
    sub->add_flag("--replace", options->replace, "replace the file if it exists");
    sub->callback([options, &context] { context.exitStatus = runCreate(*options, context.io); });
}

}  // namespace grimstore
