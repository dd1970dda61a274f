#include "cli.h"

#include <algorithm>

#include <wbtrv32/client.h>

#include "subcommands.h"

namespace grimstore {
namespace {

// "create, save, load, ..." in the order --help lists them.
std::string subcommandList(CLI::App& app) {
    std::string list;
    for (const CLI::App* sub : app.get_subcommands({})) list += (list.empty() ? "" : ", ") + sub->get_name();
    return list;
}

// The first argument that is not an option names the subcommand; one we do not have
// is named in the error, with the list, rather than reported as an extra argument.
bool knowsSubcommand(CLI::App& app, int argc, const char* const* argv, Io& io) {
    const auto first = std::find_if(argv + 1, argv + argc, [](const char* arg) { return arg[0] != '-'; });
    if (first == argv + argc) return true;
    const auto subs = app.get_subcommands({});
    if (std::any_of(subs.begin(), subs.end(), [&](const CLI::App* sub) { return sub->check_name(*first); }))
        return true;
    io.err << "grimstore: unknown subcommand '" << *first << "'; the subcommands are: " << subcommandList(app) << '\n';
    return false;
}

// help [SUBCOMMAND]: the same text as --help.
void registerHelp(CLI::App& app, SubcommandContext& context) {
    auto name = std::make_shared<std::string>();
    CLI::App* help = app.add_subcommand("help", "Show the help of a subcommand, or of grimstore.");
    help->add_option("SUBCOMMAND", *name, "the subcommand to explain");
    help->callback([&app, name, &context] {
        if (name->empty()) {
            context.io.out << app.help();
            return;
        }
        try {
            context.io.out << app.get_subcommand(*name)->help();
        } catch (const CLI::OptionNotFound&) {
            context.io.err << "grimstore help: unknown subcommand '" << *name
                           << "'; the subcommands are: " << subcommandList(app) << '\n';
            context.exitStatus = kExitUsageError;
        }
    });
}

}  // namespace

int runGrimstore(int argc, const char* const* argv, Io& io) {
    CLI::App app{"Create, fill, export, inspect and check data files of the record manager.", "grimstore"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("grimstore ") + GRIM_VERSION + ", libwbtrv32 " +
                                          std::string(wbtrv::client::version()));
    SubcommandContext context{io};
    for (SubcommandRegistration registration : subcommandRegistrations()) registration(app, context);
    registerHelp(app, context);
    if (!knowsSubcommand(app, argc, argv, io)) return kExitUsageError;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help and --version end the parse with exit code 0; every other parse error is a usage error.
        return app.exit(error, io.out, io.err) == 0 ? kExitOk : kExitUsageError;
    } catch (const std::exception& error) {
        io.err << "grimstore: " << error.what() << '\n';
        return kExitDataError;
    }
    return context.exitStatus;
}

int runGrimstore(const std::vector<std::string>& args, Io& io) {
    std::vector<const char*> argv{"grimstore"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    return runGrimstore(static_cast<int>(argv.size()), argv.data(), io);
}

}  // namespace grimstore
