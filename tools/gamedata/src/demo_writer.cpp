// Writes the demo world into data files, only through BTRCALL: Create with the
// record number as key 0, then the Inserts of each file in one transaction.
#include <array>
#include <cstring>
#include <system_error>

#include <wbtrv32/btrieve.h>
#include <wbtrv32/create_spec.h>

#include "gamedata/demo_world.h"

namespace gamedata {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kPageSize = 4096;

// File specification and one key: the record number, an autoincrement integer of
// the number's width at position 1, unique and not modifiable.
std::vector<std::uint8_t> createBuffer(const records::TableFile& file) {
    wbtrv::CreateSpec spec;
    spec.recordLength = static_cast<std::uint16_t>(file.recordLength);
    spec.pageSize = kPageSize;
    spec.keys = {{{1, static_cast<std::uint16_t>(file.numberWidth), B_KEY_EXTENDED_TYPE, B_TYPE_AUTOINCREMENT}}};
    return wbtrv::buildCreateBuffer(spec);
}

using KeyBuffer = std::array<char, BTR_MAX_KEY_LENGTH>;

std::string statusText(std::int16_t status) { return "status " + std::to_string(status); }

// One file: create it (replacing it when replace is set), insert the rows, close it.
std::string writeTable(const fs::path& path, const records::TableFile& file,
                       std::vector<std::vector<std::uint8_t>>& rows, bool replace) {
    const std::string name = path.string();
    KeyBuffer key{};
    if (name.size() >= key.size()) return name + ": path longer than " + std::to_string(key.size() - 1) + " bytes";
    std::memcpy(key.data(), name.c_str(), name.size() + 1);

    std::array<std::uint8_t, BTR_POSITION_BLOCK_SIZE> position{};
    auto spec = createBuffer(file);
    std::uint32_t length = static_cast<std::uint32_t>(spec.size());
    std::int16_t status = BTRCALL(B_CREATE, position.data(), spec.data(), &length, key.data(),
                                  static_cast<std::uint8_t>(key.size()), replace ? 0 : -1);
    if (status == B_FILE_ALREADY_EXISTS) return name + " already exists";
    if (status != B_NO_ERROR) return name + ": create failed, " + statusText(status);

    length = 0;
    status = BTRCALL(B_OPEN, position.data(), nullptr, &length, key.data(), static_cast<std::uint8_t>(key.size()),
                     B_MODE_NORMAL);
    if (status != B_NO_ERROR) return name + ": open failed, " + statusText(status);

    std::string error;
    status = BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0);
    if (status != B_NO_ERROR) error = name + ": begin of the transaction failed, " + statusText(status);
    for (auto& row : rows) {
        if (!error.empty()) break;
        KeyBuffer insertKey{};
        length = file.recordLength;
        status = BTRCALL(B_INSERT, position.data(), row.data(), &length, insertKey.data(),
                         static_cast<std::uint8_t>(insertKey.size()), 0);
        if (status != B_NO_ERROR) {
            error = name + ": insert of record " + std::to_string(&row - rows.data() + 1) + " failed, " +
                    statusText(status);
            BTRCALL(B_ABORT_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0);
        }
    }
    if (error.empty() && (status = BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0)) != B_NO_ERROR)
        error = name + ": end of the transaction failed, " + statusText(status);
    length = 0;
    status = BTRCALL(B_CLOSE, position.data(), nullptr, &length, nullptr, 0, 0);
    if (error.empty() && status != B_NO_ERROR) error = name + ": close failed, " + statusText(status);
    return error;
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
