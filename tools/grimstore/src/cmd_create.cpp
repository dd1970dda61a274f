// create: a new, empty data file from a record length and key specifications.
#include <memory>

#include "commands.h"
#include "data_file.h"
#include "status_text.h"
#include "subcommands.h"

namespace grimstore {

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
                    "1-based, TYPE integer, unsigned or autoinc (also other type names or a "
                    "code), FLAGS comma-separated: dup (duplicates allowed), mod (modifiable)")
        ->required()
        ->type_name("POS:LEN:TYPE[:FLAGS]");
    sub->add_option("--page-size", options->pageSize, "page size, a multiple of 512")
        ->capture_default_str()
        ->check(CLI::Range(1u, 65535u));
    sub->add_flag("--replace", options->replace, "replace the file if it exists");
    sub->callback([options, &context] { context.exitStatus = runCreate(*options, context.io); });
}

}  // namespace grimstore
