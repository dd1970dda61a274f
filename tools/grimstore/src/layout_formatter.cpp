#include "layout_formatter.h"

#include "gamedata/record_formatter.h"

namespace grimstore {

RecordFormatter layoutFormatterFor(std::string_view fileName, uint32_t recordLength) {
    // The six game data files, recognised by name and record length.
    return gamedata::recordFormatter(fileName, recordLength);
}

}  // namespace grimstore
