#include "operations.h"

#include <wbtrv32/btrieve.h>

#include <algorithm>

namespace wbtrv {
namespace {

void putWord(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

// Fills the data buffer in the Create layout: the file specification, with
// the record count in its unused bytes, then one specification per segment.
int statOperation(Engine& engine, const CallArgs& args) {
    Handle* handle = engine.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    DataFile& file = *handle->file;
    const FileLayout& layout = file.layout();
    std::size_t segments = 0;
    for (const auto& key : layout.keys) segments += key.segments.size();
    const std::uint32_t needed = static_cast<std::uint32_t>(BTR_FILE_SPEC_SIZE + segments * BTR_KEY_SPEC_SIZE);
    if (args.dataCapacity() < needed) return B_DATA_BUFFER_TOO_SHORT;
    std::uint64_t records = 0;
    if (const int status = file.count(records); status != B_NO_ERROR) return status;

    std::uint8_t* out = args.dataBytes();
    std::fill_n(out, needed, std::uint8_t{0});
    putWord(out, layout.recordLength);
    putWord(out + 2, layout.pageSize);
    putWord(out + 4, static_cast<std::uint32_t>(layout.keys.size()));
    writeLittleEndian(out + 6, 4, static_cast<std::int64_t>(std::min<std::uint64_t>(records, UINT32_MAX)));
    putWord(out + 10, layout.variableLength ? 1 : 0);
    std::uint8_t* spec = out + BTR_FILE_SPEC_SIZE;
    for (std::size_t n = 0; n < layout.keys.size(); ++n) {
        for (const KeySegment& seg : layout.keys[n].segments) {
            putWord(spec, seg.offset + 1);
            putWord(spec + 2, seg.length);
            putWord(spec + 4, seg.attributes);
            spec[10] = seg.dataType;
            spec[11] = seg.nullValue;
            spec[14] = static_cast<std::uint8_t>(n);
            spec += BTR_KEY_SPEC_SIZE;
        }
    }
    args.setDataLength(needed);
    return B_NO_ERROR;
}

}  // namespace wbtrv
