// Writes the demo world into data files through the record manager's client:
// Create with the record number as key 0, then the Inserts of each file in one
// transaction.
#include <wbtrv32/client.h>

#include <system_error>

#include "gamedata/demo_world.h"

namespace gamedata {
namespace {

namespace client = wbtrv::client;
namespace fs = std::filesystem;

constexpr std::uint16_t kPageSize = 4096;

// The file's entry and one key: the record number, an autoincrement integer of
// the number's width at position 1, unique and not modifiable.
wbtrv::CreateEntries createEntries(const records::TableFile& file) {
    wbtrv::CreateEntries entries;
    entries.recordLength = static_cast<std::uint16_t>(file.recordLength);
    entries.pageSize = kPageSize;
    entries.keys = {{{1, static_cast<std::uint16_t>(file.numberWidth), B_KEY_EXTENDED_TYPE, B_TYPE_AUTOINCREMENT}}};
    return entries;
}

// "NAME: ACTION failed with status 12 (file not found)"
std::string failure(const std::string& name, const std::string& action, client::Status status) {
    return name + ": " + action + " failed with status " + client::describeStatus(status);
}

// One file: create it (replacing it when replace is set), insert the rows, close it.
std::string writeTable(const fs::path& path, const records::TableFile& file,
                       std::vector<std::vector<std::uint8_t>>& rows, bool replace) {
    const std::string name = path.string();
    if (name.size() >= BTR_MAX_KEY_LENGTH)
        return name + ": path longer than " + std::to_string(BTR_MAX_KEY_LENGTH - 1) + " bytes";
    client::Status status =
        client::create(name, createEntries(file), replace ? client::IfExists::Replace : client::IfExists::Refuse);
    if (status == B_FILE_ALREADY_EXISTS) return name + " already exists";
    if (status != B_NO_ERROR) return failure(name, "create", status);

    client::File data;
    if (status = data.open(name); status != B_NO_ERROR) return failure(name, "open", status);
    if (status = client::beginTransaction(); status != B_NO_ERROR)
        return failure(name, "begin of the transaction", status);
    for (auto& row : rows) {
        if (status = data.insert(row); status != B_NO_ERROR) {
            client::abortTransaction();
            return failure(name, "insert of record " + std::to_string(&row - rows.data() + 1), status);
        }
    }
    if (status = client::endTransaction(); status != B_NO_ERROR) return failure(name, "end of the transaction", status);
    if (status = data.close(); status != B_NO_ERROR) return failure(name, "close", status);
    return {};
}

}  // namespace
DemoResult writeDemoWorld(const fs::path& dir, const DemoOptions& options) {
    if (options.recordsPerTable && *options.recordsPerTable > kMaxDemoRecords)
        return {"records per table must lie between 0 and " + std::to_string(kMaxDemoRecords) + ", not " +
                std::to_string(*options.recordsPerTable)};
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return {dir.string() + " is not a folder"};
    if (!options.force)
        for (const records::TableFile& file : records::kTableFiles)
            if (const fs::path path = dir / file.fileName; fs::exists(path, ec))
                return {path.string() + " already exists"};

    DemoResult result;
    for (const records::TableFile& file : records::kTableFiles) {
        auto rows = demoRecords(file.id, options);
        result.error = writeTable(dir / file.fileName, file, rows, options.force);
        if (!result.ok()) return result;
        result.recordsWritten += rows.size();
    }
    return result;
}

}  // namespace gamedata
