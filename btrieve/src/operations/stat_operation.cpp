#include "operations/operations.h"

#include <wbtrv32/create_entries.h>

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {
namespace {

// The file's description in the Create layout; each distinct collating
// sequence once, numbered in the order the keys first use it.
CreateEntries describe(const FileLayout& layout, const std::optional<OwnerRecord>& owner, std::uint64_t records) {
    CreateEntries entries;
    entries.recordLength = static_cast<std::uint16_t>(layout.recordLength);
    entries.pageSize = static_cast<std::uint16_t>(layout.pageSize);
    entries.recordCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(records, UINT32_MAX));
    entries.fileFlags = layout.variableLength ? 1 : 0;
    if (owner) entries.ownerAccess = static_cast<std::uint8_t>(owner->restriction);
    for (std::size_t number = 0; number < layout.keys.size(); ++number) {
        const KeyDefinition& key = layout.keys[number];
        if (key.absent()) continue;
        KeySegments& out = entries.keys.emplace_back();
        for (const KeySegment& seg : key.segments) {
            SegmentEntry s{static_cast<std::uint16_t>(seg.offset + 1),
                           static_cast<std::uint16_t>(seg.length),
                           seg.attributes,
                           seg.dataType,
                           seg.nullValue,
                           static_cast<std::uint8_t>(number)};
            if (seg.collating) {
                auto at = std::find(entries.sequences.begin(), entries.sequences.end(), *seg.collating);
                if (at == entries.sequences.end()) at = entries.sequences.insert(at, *seg.collating);
                s.collatingSequence = static_cast<std::uint8_t>(at - entries.sequences.begin());
            }
            out.push_back(s);
        }
    }
    return entries;
}

}  // namespace

// Fills the data buffer in the Create layout: the file's entry, with the
// record count in its unused bytes, one key entry per segment, then the
// collating sequences.
int statOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    OpenFile& file = *handle->file;
    std::uint64_t records = 0;
    if (!args.dataBytes()) return B_DATA_BUFFER_TOO_SHORT;
    if (const int status = file.count(records); status != B_NO_ERROR) return status;
    const std::vector<std::uint8_t> out = buildCreateBuffer(describe(file.layout(), file.owner(), records));
    if (args.dataCapacity() < out.size()) return B_DATA_BUFFER_TOO_SHORT;
    std::copy(out.begin(), out.end(), args.dataBytes());
    args.setDataLength(static_cast<std::uint32_t>(out.size()));
    return B_NO_ERROR;
}

}  // namespace wbtrv
