#include "core/layout_rows.h"

#include "core/layout_checks.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {
namespace {

// Keys a file may have, as Create allows them.
constexpr std::int64_t kMaxKeys = 119;

bool inRange(const StoredInteger& value, std::int64_t low, std::int64_t high) {
    return value && *value >= low && *value <= high;
}

std::string shown(const StoredInteger& value) { return value ? std::to_string(*value) : "(not an integer)"; }

int refused(std::string& why, const std::string& what) {
    why = what;
    return B_NOT_A_DATA_FILE;
}

}  // namespace

int layoutFromMetadata(const MetadataRow& row, FileLayout& layout, std::string& why) {
    if (!inRange(row.version, kFormatVersionWithoutJournal, kFormatVersion))
        return refused(why, "format version " + shown(row.version) + " is not ours");
    if (!inRange(row.recordLength, 1, 65535))
        return refused(why, "record length " + shown(row.recordLength) + " out of range");
    if (!inRange(row.pageSize, 0, 65535) || !inRange(row.variableLength, 0, 1))
        return refused(why, "metadata_t holds a page size or record kind out of range");
    layout.recordLength = static_cast<std::uint32_t>(*row.recordLength);
    layout.pageSize = static_cast<std::uint32_t>(*row.pageSize);
    layout.variableLength = *row.variableLength != 0;
    layout.journalKept = *row.version == kFormatVersion;
    return B_NO_ERROR;
}

int keysFromRows(const std::vector<KeyRow>& rows, FileLayout& layout, std::string& why) {
    for (const KeyRow& row : rows) {
        if (!inRange(row.number, 0, kMaxKeys - 1) || !inRange(row.segment, 0, kMaxKeys - 1) ||
            !inRange(row.attributes, 0, 0xffff) || !inRange(row.dataType, 0, 0xff) ||
            !inRange(row.nullValue, 0, 0xff) || !row.offset || !row.length)
            return refused(why, "keys_t holds a value out of range or not an integer");
        const std::int64_t number = *row.number, segment = *row.segment;
        const bool newKey = segment == 0 && number == static_cast<std::int64_t>(layout.keys.size());
        const bool nextSegment = !layout.keys.empty() && number == static_cast<std::int64_t>(layout.keys.size()) - 1 &&
                                 segment == static_cast<std::int64_t>(layout.keys.back().segments.size());
        if (!newKey && !nextSegment) return refused(why, "keys_t numbers keys or segments with gaps");
        if (!segmentInside(*row.offset, *row.length, layout.recordLength))
            return refused(why, "key " + std::to_string(number) + " lies outside the record");
        KeySegment seg;
        seg.attributes = static_cast<std::uint16_t>(*row.attributes);
        seg.dataType = static_cast<std::uint8_t>(*row.dataType);
        seg.offset = static_cast<std::uint32_t>(*row.offset);
        seg.length = static_cast<std::uint32_t>(*row.length);
        seg.nullValue = static_cast<std::uint8_t>(*row.nullValue);
        // The table alone, or the whole sequence as Create received it. A key
        // whose table cannot be read is not ordered by us: it stays read-only.
        const auto& table = row.collatingTable;
        const bool whole = table.size() == BTR_COLLATING_SEQUENCE_SIZE && table[0] == BTR_COLLATING_SEQUENCE_MARK;
        if ((seg.attributes & B_KEY_ALT_COLLATING) && (table.size() == 256 || whole)) {
            auto sequence = std::make_shared<CollatingSequence>();
            sequence->name = row.collatingName;
            std::copy(table.end() - 256, table.end(), sequence->table.begin());
            seg.collating = std::move(sequence);
        }
        if (newKey) layout.keys.push_back(KeyDefinition{});
        layout.keys.back().segments.push_back(seg);
    }
    if (layout.keys.empty()) return refused(why, "keys_t describes no key");
    return B_NO_ERROR;
}

}  // namespace wbtrv
