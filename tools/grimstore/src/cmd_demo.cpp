// demo: writes the invented demo world, the six game data files, into a folder.
#include <filesystem>
#include <memory>

#include "gamedata/demo_world.h"
#include "subcommands.h"

namespace grimstore {
namespace {

struct DemoCommandOptions {
    std::string dir;
    std::optional<uint32_t> records;
    bool force = false;
};

int runDemo(const DemoCommandOptions& options, Io& io) {
    std::error_code error;
    std::filesystem::create_directories(options.dir, error);
    if (error) {
        io.err << "grimstore demo: cannot make the folder " << options.dir << ": " << error.message() << '\n';
        return kExitDataError;
    }
    const gamedata::DemoResult result = gamedata::writeDemoWorld(options.dir, {options.records, options.force});
    if (!result.ok()) {
        io.err << "grimstore demo: " << result.error;
        if (result.error.find("already exists") != std::string::npos) io.err << "; use --force to replace it";
        io.err << '\n';
        return kExitDataError;
    }
    io.out << "wrote " << result.recordsWritten << " records into the six data files in " << options.dir << '\n';
    return kExitOk;
}

}  // namespace

void registerDemo(CLI::App& app, SubcommandContext& context) {
    auto options = std::make_shared<DemoCommandOptions>();
    CLI::App* sub = app.add_subcommand("demo", "Write the demo world: the six game data files, into a folder.");
    sub->add_option("DIR", options->dir, "folder to write the data files into, made with its parents when missing")
        ->required();
    sub->add_option("--records", options->records,
                    "generate exactly N records per table instead of the demo world's own")
        ->check(CLI::Range(0u, gamedata::kMaxDemoRecords))
        ->type_name("N");
    sub->add_flag("--force", options->force, "replace data files that already exist");
    sub->callback([options, &context] { context.exitStatus = runDemo(*options, context.io); });
}

}  // namespace grimstore
