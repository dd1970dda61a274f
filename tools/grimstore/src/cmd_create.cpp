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
        const auto key = parseKey(text, error);
        if (!key) {
            io.err << "grimstore create: --key '" << text << "': " << error << '\n';
            return kExitUsageError;
        }
        spec.keys.push_back(*key);
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
                    "one key per option, in key-number order: POS:LEN:TYPE[:FLAGS], POS 1-based; "
                    "a key of several segments joins them with '+' (1:20:string:nocase+21:4:date:desc). "
                    "TYPE: string, integer, float, date, time, decimal, money, logical, numeric, bfloat, "
                    "lstring, zstring, unsigned, autoinc, numeric-sts (or the type code). FLAGS comma-"
                    "separated: dup (duplicates allowed), mod (modifiable), null (left out when every "
                    "segment is all zero bytes), nullany (left out when any segment is), desc "
                    "(descending), nocase (letters compare without case)")
        ->required()
        ->type_name("POS:LEN:TYPE[:FLAGS][+...]");
    sub->add_option("--page-size", options->pageSize, "page size, a multiple of 512")
        ->capture_default_str()
        ->check(CLI::Range(1u, 65535u));
    sub->add_flag("--replace", options->replace, "replace the file if it exists");
    sub->callback([options, &context] { context.exitStatus = runCreate(*options, context.io); });
}

}  // namespace grimstore
