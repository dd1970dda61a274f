#include "cli.h"

#include "subcommands.h"

namespace grimstore {

int runGrimstore(int argc, const char* const* argv, Io& io) {
    CLI::App app{"Create, fill, export, inspect and check data files of the record manager.", "grimstore"};
    app.require_subcommand(1);
    SubcommandContext context{io};
    for (SubcommandRegistration registration : subcommandRegistrations()) registration(app, context);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help ends the parse with exit code 0; every other parse error is a usage error.
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
