#include "layout_formatter.h"

#include <array>

#include "gamedata/record_formatter.h"
#include "records/tables.h"

namespace grimstore {

RecordFormatter layoutFormatterFor(std::string_view fileName, uint32_t recordLength) {
    // The six game data files, recognised by name and record length.
    return gamedata::recordFormatter(fileName, recordLength);
}

namespace {

// In the order of records::kTableFiles.
constexpr std::array<const char*, records::kTableFiles.size()> kLayoutNames{"race",    "class", "spell",
                                                                            "monster", "item",  "message"};

}  // namespace

std::vector<std::string> layoutNames() { return {kLayoutNames.begin(), kLayoutNames.end()}; }

std::string layoutFileName(const std::string& layout) {
    for (size_t i = 0; i < kLayoutNames.size(); ++i)
        if (layout == kLayoutNames[i]) return std::string(records::kTableFiles[i].fileName);
    return {};
}

}  // namespace grimstore
