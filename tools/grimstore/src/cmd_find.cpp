// find: the records whose text fields contain a text, without regard to letter
// case, one JSON object a line, read in batches as the editor's Find reads them.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>

#include "commands.h"
#include "gamedata/cp437_text.h"
#include "status_text.h"
#include "subcommands.h"
#include "world/references.h"
#include "world/text_search.h"

namespace grimstore {
namespace {

namespace client = wbtrv::client;
using records::TableId;

std::optional<TableId> tableNamed(std::string_view word) {
    for (const records::TableFile& t : records::kTableFiles)
        if (world::recordWord(t.id) == word) return t.id;
    return std::nullopt;
}

std::optional<TableId> tableOfFile(const std::string& file) {
    const std::string name = std::filesystem::path(file).filename().string();
    for (const records::TableFile& t : records::kTableFiles)
        if (t.fileName == name) return t.id;
    return std::nullopt;
}

// Searches one file; false after reporting a failed read.
bool findIn(const std::string& path, const world::TextSearch& search, Io& io) {
    client::File file;
    client::Status status = file.open(path, client::OpenMode::ReadOnly);
    if (status == B_NO_ERROR) {
        world::BatchReader reader(file, records::tableFile(search.table()), search.request(500));
        world::Batch batch;
        for (bool more = true; more;) {
            more = reader.next(batch);
            for (std::size_t i = 0; i < batch.size(); ++i)
                if (const auto found = search.match(batch.record(i)))
                    io.out << nlohmann::json{{"file", path},
                                             {"number", found->number},
                                             {"name", gamedata::utf8Text(found->title)},
                                             {"field", std::string(found->field)}}
                                  .dump()
                           << '\n';
        }
        status = reader.status();
    }
    if (status == B_NO_ERROR) return true;
    io.err << statusError(path, "reading", status) << '\n';
    return false;
}

}  // namespace

int runFind(const FindOptions& options, Io& io) {
    const auto usage = [&](const std::string& why) {
        io.err << "grimstore find: " << why << '\n';
        return kExitUsageError;
    };
    const auto text = gamedata::cp437Text(options.text);
    if (!text) return usage("the text has characters the data files cannot hold");
    std::optional<TableId> only;
    if (!options.table.empty()) only = tableNamed(options.table);
    const bool folder = std::filesystem::is_directory(options.where);
    if (!folder && !only) only = tableOfFile(options.where);
    if (!folder && !only) return usage(options.where + " is no folder and not named as a data file; give --table");

    std::vector<std::pair<std::string, world::TextSearch>> searches;
    for (const records::TableFile& t : records::kTableFiles) {
        if (only && t.id != *only) continue;
        world::TextSearch search(t.id, *text, options.field);
        const auto fields = world::TextSearch::textFields(t.id);
        const bool hasField = options.field.empty() || std::ranges::any_of(fields, [&](const records::Field* f) {
                                  return f->name == options.field;
                              });
        if (!hasField) continue;
        searches.emplace_back(folder ? (std::filesystem::path(options.where) / t.fileName).string() : options.where,
                              search);
    }
    if (searches.empty()) return usage("no table searched has a text field " + options.field);
    if (text->empty()) return kExitOk;
    bool read = true;
    for (const auto& [path, search] : searches) read = findIn(path, search, io) && read;
    return read ? kExitOk : kExitDataError;
}

void registerFind(CLI::App& app, SubcommandContext& context) {
    auto options = std::make_shared<FindOptions>();
    CLI::App* sub = app.add_subcommand(
        "find",
        "Print the records whose text fields contain TEXT (without regard to letter case), one JSON object a line: "
        "the file, the record's number and name, and the field that matched.");
    sub->add_option("WHERE", options->where, "a world's folder (every table) or one data file")->required();
    sub->add_option("TEXT", options->text, "the text to look for; a whole number also finds the record so numbered")
        ->required();
    sub->add_option("--table", options->table, "search this table only")
        ->check(CLI::IsMember({"race", "class", "spell", "monster", "item", "message"}));
    sub->add_option("--field", options->field, "search this text field only, by its name (Name, DescA, Line1 ...)")
        ->type_name("NAME");
    sub->callback([options, &context] { context.exitStatus = runFind(*options, context.io); });
}

}  // namespace grimstore
