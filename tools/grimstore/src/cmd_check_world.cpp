// check-world: reads the six files of a world and reports each problem the game
// would trip over, one JSON object a line, or a plain line on a terminal.
#include <nlohmann/json.hpp>

#include <filesystem>

#include "commands.h"
#include "gamedata/cp437_text.h"
#include "status_text.h"
#include "subcommands.h"
#include "world/world_check.h"

namespace grimstore {
namespace {

nlohmann::json problemJson(const world::Problem& p) {
    return {{"file", std::string(records::tableFile(p.table).fileName)},
            {"record", p.record},
            {"field", p.field},
            {"problem", p.problem},
            {"value", p.number ? nlohmann::json(*p.number) : nlohmann::json(gamedata::utf8Text(p.text))},
            {"detail", p.detail}};
}

std::string problemLine(const world::Problem& p) {
    return std::string(records::tableFile(p.table).fileName) + " record " + std::to_string(p.record) + " " + p.field +
           ": " + p.detail;
}

}  // namespace

int runCheckWorld(const std::string& dir, Io& io) {
    if (!std::filesystem::is_directory(dir)) {
        io.err << "grimstore check-world: " << dir << " is not a folder\n";
        return kExitUsageError;
    }
    world::ReadFiles files(dir);
    world::WorldCheck check(files);
    std::vector<world::Problem> problems;
    std::size_t written = 0;
    bool more = true;
    while (more) {
        more = check.step(problems);
        for (; written < problems.size(); ++written)
            io.out << (io.outIsTerminal ? problemLine(problems[written]) : problemJson(problems[written]).dump())
                   << '\n';
    }
    if (check.status() != B_NO_ERROR) {
        io.err << statusError(files.path(check.failedTable()), "reading", check.status()) << '\n';
        return kExitDataError;
    }
    if (io.outIsTerminal) io.out << problems.size() << " problem(s) in " << dir << '\n';
    return problems.empty() ? kExitOk : kExitDataError;
}

void registerCheckWorld(CLI::App& app, SubcommandContext& context) {
    auto dir = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand(
        "check-world",
        "Check the six data files of a world for broken references, codes without a word, ability codes outside the "
        "table, texts not stored the usual way, duplicate names and record numbers nothing can reach; exit status 1 "
        "when there are problems.");
    sub->add_option("DIR", *dir, "the world's folder (its wbtrv32.server, if any, names a server)")->required();
    sub->callback([dir, &context] { context.exitStatus = runCheckWorld(*dir, context.io); });
}

}  // namespace grimstore
