#include "command_support.h"

#include <algorithm>
#include <memory>

#include "status_text.h"

namespace grimstore {

bool openAndStat(client::File& file, const std::string& name, client::OpenMode mode, CreateEntries& entries,
                 std::ostream& err) {
    client::Status status = file.open(name, mode);
    if (status != B_NO_ERROR) {
        err << statusError(file.name(), "open", status) << '\n';
        return false;
    }
    status = file.stat(entries);
    if (status != B_NO_ERROR) {
        err << statusError(file.name(), "stat", status) << '\n';
        return false;
    }
    return true;
}

CLI::App* addFilesSubcommand(CLI::App& app, SubcommandContext& context, const std::string& name,
                             const std::string& description, std::initializer_list<Positional> positionals,
                             FilesCommand run) {
    CLI::App* sub = app.add_subcommand(name, description);
    auto files = std::make_shared<std::vector<std::string>>(positionals.size());
    size_t index = 0;
    for (const Positional& positional : positionals)
        sub->add_option(positional.name, (*files)[index++], positional.help)->required();
    sub->callback([files, run = std::move(run), &context] { context.exitStatus = run(*files, context.io); });
    return sub;
}

CLI::App* addEachFileSubcommand(CLI::App& app, SubcommandContext& context, const std::string& name,
                                const std::string& description, EachFileCommand run) {
    CLI::App* sub = app.add_subcommand(name, description);
    auto files = std::make_shared<std::vector<std::string>>();
    sub->add_option("FILE", *files, "data files")->required();
    sub->callback([files, run = std::move(run), &context] {
        for (const std::string& file : *files)
            context.exitStatus = std::max(context.exitStatus, run(file, context.io, files->size() > 1));
    });
    return sub;
}

}  // namespace grimstore
